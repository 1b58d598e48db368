// The show's pace: on which of the display's refreshes a frame is presented, shared by the
// backends that present to a real display.
//
// The show moves once per presented frame (light 1 turns, the closing fade steps), so the rate
// of presentation is the speed of the show. Frames go up on whole refreshes, every n-th one, for
// the whole n whose rate comes nearest kShowPace: one look on 60 Hz (every refresh), 120 Hz
// (every second), 144 Hz (every second, 72 a second) and 240 Hz (every third), and no frame
// stays up longer than another. Where the refresh rate is unknown, or the wait for a refresh
// returns at once, a timer paces the show at kTimerPace instead.
//
//   ParsePace  reads the value of --fps: "display" (every refresh, the display's own speed) or
//              a number of frames a second, 1 to 1000 (the divisor nearest it; the timer at
//              exactly it); false for anything else
//   PlanPace   what to wait for before each frame: `refreshes` refreshes of a display that
//              refreshes `refreshRate` times a second (0: unknown) and whose wait really waits
//              (`waitWaits`), or, with `refreshes` 0, a timer at `framesPerSecond`
//   DescribePace  the plan in words, for a log ("72 frames a second: every 2nd refresh of
//              144 Hz")
//   TestRefreshRate  ZARVO_TEST_REFRESH_HZ, when set to a rate from 20 to 1000, else 0: the
//              tests' display at that rate, whose refreshes a timer makes (a virtual display has
//              none to follow)
#ifndef ZARVO_PLATFORM_COMMON_FRAME_PACE_H
#define ZARVO_PLATFORM_COMMON_FRAME_PACE_H

#include <string>

namespace platform {

constexpr double kShowPace = 70.0;  // frames a second the refresh's divisor comes nearest to
constexpr double kTimerPace = 60.0; // frames a second without a refresh to follow
constexpr double kLeastPace = 1.0;  // the range --fps takes
constexpr double kMostPace = 1000.0;

enum class PaceKind {
    show,    // the show's own pace (no --fps)
    chosen,  // --fps N
    display, // --fps display: every refresh
};

struct PaceRequest {
    PaceKind kind = PaceKind::show;
    double framesPerSecond = kShowPace; // the target of `show` and `chosen`
};

struct PacePlan {
    int refreshes = 0;          // refreshes per frame; 0: the timer paces
    double framesPerSecond = 0; // the resulting rate
};

bool ParsePace(const char* text, PaceRequest& request);
PacePlan PlanPace(const PaceRequest& request, double refreshRate, bool waitWaits);
std::string DescribePace(const PacePlan& plan, double refreshRate);
double TestRefreshRate();

} // namespace platform

#endif
