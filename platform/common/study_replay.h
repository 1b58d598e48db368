// The show's state between frames, worked out without rendering: where a seek puts the show.
//
// The show's animation is a function of the sync counts its frames are drawn at: the sphere
// placed by the count, light 1 turned once per rendered frame, the fade's dimming once per fade
// frame, and the end phase decided from the count after the last main frame. ReplayFrame takes
// one frame of that through the show's own rules (show/show_frame.cpp), on a copy of the scene.
//
//   InitialShowState   the show before its first frame: the scene as InitScene makes it
//   ReplayFrame        the frame drawn from `state` at sync count `clock`, with `nextClock` the
//                      count after it (the end phase measures from there): returns its phase and
//                      leaves `state` as the next frame finds it; after the show's end `ended`
//   ShowSections       the frames a section jump lands on (study_keys.h), in order: the opening,
//                      the first frame of each caption, the last main frame and the first fade
//                      frame; and the last frame the show draws
//   DrawnState         the scene as the frame drawn from `state` at `clock` is traced: the sphere
//                      placed for that frame, lights and colours as they stand
//   ReplayTo           the state before frame n of a timeline (study_timeline.h), from the start
// study_replay.cpp and study_show.cpp are the study's look into the show (tools/check-layers.sh).
#ifndef ZARVO_PLATFORM_COMMON_STUDY_REPLAY_H
#define ZARVO_PLATFORM_COMMON_STUDY_REPLAY_H

#include "show_observation.h"
#include "study_timeline.h"

#include <cstdint>
#include <vector>

namespace platform {

struct StudyRgb {
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
};

struct StudyPoint {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
};

// The parts of the scene the show animates, and the show's own counters.
struct StudyShowState {
    StudyPoint sphere;
    StudyRgb ambient;
    StudyRgb lightColor[2];
    StudyPoint light1;
    std::uint32_t lightTurns = 0;
    std::uint32_t lastMainTick = 0; // the count after the last main frame
    bool ended = false;
};

StudyShowState InitialShowState();
Phase ReplayFrame(StudyShowState& state, std::uint32_t clock, std::uint32_t nextClock);
StudyShowState DrawnState(const StudyShowState& state, std::uint32_t clock);
StudyShowState ReplayTo(const StudyTimeline& timeline, std::int64_t frame);

struct ShowSectionList {
    std::vector<std::int64_t> starts;
    std::int64_t lastFrame = 0;
};

ShowSectionList ShowSections(const StudyTimeline& timeline);

// The phase frame n of a timeline is drawn in (after ReplayTo(n)); `ended` when the show has
// already ended before it.
Phase PhaseOfFrame(const StudyTimeline& timeline, std::int64_t frame, bool& ended);

} // namespace platform

#endif
