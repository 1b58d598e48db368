// The progress line on standard error: how much of the show is done, frame, sync count, phase,
// speed and time left.
//
//   ExpectedShowSeconds  where the capture is expected to end, in show time (negative: unknown)
//   FormatProgress  one line of text for a state of the capture (no line end)
//   ProgressReport  prints it now and then: rewritten in place about 4 times a second on a
//                   terminal, a new line every 5 seconds elsewhere (logs stay short); Finish
//                   prints the last state and ends the line; Abandon only ends a line left in
//                   place, so that a message can follow on a line of its own, and prints no more
//                   (after the intro's error, a state of the show would only mislead)
// The end is an estimate: the show ends near the sync count kExpectedEndCount (the sphere's
// first far point after the last caption), --max-seconds can end it sooner, and a show still
// going when the song has played through once is stopped there.
#ifndef ZARVO_PLATFORM_CAPTURE_CAPTURE_PROGRESS_REPORT_H
#define ZARVO_PLATFORM_CAPTURE_CAPTURE_PROGRESS_REPORT_H

#include "show_observation.h"

#include <chrono>
#include <cstdint>
#include <string>

namespace capture {

using platform::Phase;

constexpr std::uint32_t kExpectedEndCount = 4994;

struct ProgressState {
    std::int64_t frames = 0; // frames presented so far
    std::uint32_t syncCount = 0;
    Phase phase = Phase::opening;
    double showSeconds = 0.0; // virtual time captured
    double wallSeconds = 0.0; // real time spent
    double maxSeconds = 0.0;  // the show time where --max-seconds stops it; 0: no limit
    double songSeconds = 0.0; // the song's length once through; 0: unknown
};

double ExpectedShowSeconds(const ProgressState& state);

// Seconds of real time left, or a negative number when no estimate can be made yet.
double EstimateSecondsLeft(const ProgressState& state);

std::string FormatProgress(const ProgressState& state);

class ProgressReport {
  public:
    void Begin(bool enabled);
    void Update(ProgressState state);
    void Finish(ProgressState state);
    void Abandon();

    double WallSeconds() const;

  private:
    bool enabled_ = false;
    bool terminal_ = false;
    bool lineInPlace_ = false; // a line on the terminal not ended yet
    std::chrono::steady_clock::time_point start_;
    std::chrono::steady_clock::time_point last_;
};

} // namespace capture

#endif
