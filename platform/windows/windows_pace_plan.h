// The show's pace on Windows: how many of the display's refreshes each frame stays up, or a
// timer where the refreshes cannot be followed.
//
// The rule is the one every backend that presents to a real display follows: frames go up on
// whole refreshes, every n-th one, for the whole n whose rate comes nearest kShowPace (60 Hz:
// every refresh; 120 Hz and 144 Hz: every second; 240 Hz: every third); where the refresh rate
// is unknown, or the wait for a refresh returns at once, a timer at kTimerPace paces the show.
//
//   PlanShowPace  `refreshes` per frame of a display refreshing `refreshRate` times a second
//                 (0: unknown) whose wait really waits (`waitWaits`), or, with `refreshes` 0,
//                 a timer at `framesPerSecond`
// This is the one seam through which the presentation asks the rule; the rule itself belongs
// in the platform's shared pace module once that is there, and this file then only calls it.
#ifndef ZARVO_PLATFORM_WINDOWS_WINDOWS_PACE_PLAN_H
#define ZARVO_PLATFORM_WINDOWS_WINDOWS_PACE_PLAN_H

namespace windows {

constexpr double kShowPace = 70.0;  // frames a second the refresh's divisor comes nearest to
constexpr double kTimerPace = 60.0; // frames a second without a refresh to follow

struct PacePlan {
    int refreshes = 0;          // refreshes per frame; 0: the timer paces
    double framesPerSecond = 0; // the resulting rate
};

PacePlan PlanShowPace(double refreshRate, bool waitWaits);

} // namespace windows

#endif
