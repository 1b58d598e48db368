// The study's hands on the show: puts a replayed state (study_replay.h) into the show's own
// globals, runs one of its frames, and lends its scene to the tracers.
//
//   SetShowState       the scene's animated parts and the sync count as `state` and `clock` say
//   SetShowClock       the sync count alone
//   ReadShowState      the scene's animated parts as they stand (the counters left at 0)
//   ClearPicture       the show's back surface black, as it is before the first frame (the
//                      opening draws its title over whatever the surface holds)
//   RunShowFrame       one ShowFrame, as the main loop calls it (the caller decides what becomes
//                      of its presentation); false at the show's end or after a failure
//   TracedGrid         the 80 x 50 cells the last frame traced (0x00RRGGBB, row by row)
//   TraceReference     the scene as `state` has it, traced and enlarged by the straightforward
//                      reference renderer into a 320 x 200 picture (pitch 320 pixels); the
//                      show's own scene is left as it was
//   ShowSceneReady     InitScene has run (the lights exist)
// Main thread, between the show's frames only. With study_replay.cpp, the one part of the
// platform besides show_observation.cpp that reads or writes the intro's state.
#ifndef ZARVO_PLATFORM_COMMON_STUDY_SHOW_H
#define ZARVO_PLATFORM_COMMON_STUDY_SHOW_H

#include "study_replay.h"

#include <cstdint>

namespace platform {

constexpr int kStudyGridColumns = 80;
constexpr int kStudyGridRows = 50;

void SetShowState(const StudyShowState& state, std::uint32_t clock);
void SetShowClock(std::uint32_t clock);
StudyShowState ReadShowState();
void ClearPicture();
bool RunShowFrame();
const std::uint32_t* TracedGrid();
void TraceReference(const StudyShowState& state, std::uint32_t* picture);
bool ShowSceneReady();
// The sync count as the show reads it.
std::uint32_t ShowClock();

} // namespace platform

#endif
