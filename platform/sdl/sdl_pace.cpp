// The live program's pace: repeated presents under vsync, or a timer on a grid of refreshes.
#include "sdl_pace.h"

#include "sdl_frame_log.h"
#include "start_options.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <thread>

namespace sdl {

using Clock = std::chrono::steady_clock;

// Presents in a row that return well inside a refresh before vsync is no longer believed.
constexpr int kFastPresentLimit = 30;

struct PaceState {
    bool vsync = false;      // presents wait for the display's refresh
    bool emulated = false;   // the refresh is made by the timer (ZARVO_TEST_REFRESH_HZ)
    double refreshRate = 0;  // the display's, 0: unknown
    platform::PacePlan plan; // what the rule gave
    bool repeats = false;    // the plan is followed by presenting again under vsync
    int ticksPerFrame = 1;   // timer: ticks of the grid per frame
    Clock::duration tick = std::chrono::microseconds(16667); // timer: the grid's period
    Clock::time_point lastTick{};    // timer: the grid point of the last frame
    Clock::time_point lastPresent{}; // vsync: when the last present returned
    int fastPresents = 0;
};

static PaceState pace;

double EmulatedRefreshRate() {
    return platform::TestRefreshRate();
}

static Clock::duration PeriodOf(double framesPerSecond) {
    return std::chrono::duration_cast<Clock::duration>(
        std::chrono::duration<double>(1.0 / framesPerSecond));
}

// Applies the rule to what is known of the display now.
static void Plan() {
    pace.plan = platform::PlanPace(platform::CurrentStartOptions().pace, pace.refreshRate,
                                   pace.vsync || pace.emulated);
    pace.repeats = pace.vsync && pace.plan.refreshes > 0;
    if (pace.emulated && pace.plan.refreshes > 0) {
        pace.tick = PeriodOf(pace.refreshRate);
        pace.ticksPerFrame = pace.plan.refreshes;
    } else {
        pace.tick = PeriodOf(pace.plan.framesPerSecond);
        pace.ticksPerFrame = 1;
    }
    pace.lastTick = Clock::now();
    pace.fastPresents = 0;
    LogPace(platform::DescribePace(pace.plan, pace.refreshRate) + (pace.emulated ? " (emulated)"
                                                                   : pace.vsync  ? " (vsync)"
                                                                                 : ""));
}

void StartPace(bool vsync, double refreshRate) {
    pace = PaceState{};
    const double emulated = EmulatedRefreshRate();
    pace.emulated = emulated > 0;
    pace.vsync = vsync && !pace.emulated;
    pace.refreshRate = pace.emulated ? emulated : refreshRate;
    Plan();
}

platform::PacePlan PaceInForce() {
    return pace.plan;
}

void NotePresent() {
    if (!pace.repeats) {
        return;
    }
    const Clock::time_point now = Clock::now();
    const Clock::duration since = now - pace.lastPresent;
    pace.lastPresent = now;
    pace.fastPresents = since < PeriodOf(pace.refreshRate) * 3 / 4 ? pace.fastPresents + 1 : 0;
    if (pace.fastPresents > kFastPresentLimit) {
        pace.vsync = false;
        Plan();
    }
}

void PaceForFrame(bool (*repeat)()) {
    if (pace.repeats) {
        for (int shown = 1; shown < pace.plan.refreshes && pace.repeats; ++shown) {
            if (!repeat()) {
                break;
            }
        }
        if (pace.repeats) {
            return; // the picture's own present waits for the last refresh of the frame
        }
    }
    const Clock::time_point now = Clock::now();
    Clock::time_point next = pace.lastTick + pace.tick * pace.ticksPerFrame;
    if (next < now) {
        // Late: the next refresh on the same grid, never a burst to catch up.
        const auto missed = (now - next) / pace.tick + 1;
        next += pace.tick * missed;
        next = std::min(next, now + pace.tick);
    }
    std::this_thread::sleep_until(next);
    pace.lastTick = next;
}

} // namespace sdl
