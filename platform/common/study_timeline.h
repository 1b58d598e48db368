// The show's frames in virtual time, as zarvo-capture makes them: for each frame at a frame rate,
// the sync count it is drawn at and the module's row playing as it begins.
//
//   BuildStudyTimeline  plays the module (module_file.h's search and override) silently once
//                       through, frame by frame, as the capture renders it: frame n ends at sample
//                       floor((n+1) * rate / fps), its W commands reach the show after the frame,
//                       so frame n is drawn at the count of W commands met in frames 0 to n-1.
//                       False with a reason when the module cannot be played.
//   TimelineFrameAt     the first frame drawn at a sync count of at least `clock` (the frame
//                       count when none is)
// A study seek replays the show over these counts (study_replay.h), so a frame it shows is the
// capture's frame of the same number at the same rate.
#ifndef ZARVO_PLATFORM_COMMON_STUDY_TIMELINE_H
#define ZARVO_PLATFORM_COMMON_STUDY_TIMELINE_H

#include "midas_playback.h"

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// The capture's default frame rate and sample rate.
constexpr int kStudyFramesPerSecond = 60;
constexpr int kStudySampleRate = 48000;

struct StudyTimeline {
    int framesPerSecond = kStudyFramesPerSecond;
    int sampleRate = kStudySampleRate;
    std::vector<std::uint32_t> clocks; // frame n is drawn at clocks[n]
    std::vector<MusicRow> rows;        // the row playing when frame n begins
    std::int64_t Frames() const {
        return static_cast<std::int64_t>(clocks.size());
    }
};

bool BuildStudyTimeline(const char* moduleFile, int framesPerSecond, int sampleRate,
                        StudyTimeline& timeline, std::string& error);

std::int64_t TimelineFrameAt(const StudyTimeline& timeline, std::uint32_t clock);

} // namespace platform

#endif
