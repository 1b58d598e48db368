// The frame pacer: whole refreshes by the display's own wait, or a clock when that wait does not
// wait.
//
// A wait for the vertical blank lets at most as many frames through as the display refreshes;
// one that lets through half as many again, over half a second, is taken for one that returns at
// once, and the clock paces the rest of the run.
#include "windows_frame_pacer.h"

#include "frame_pace.h"
#include "start_options.h"

#include <ddraw.h>
#include <mmsystem.h>

#include <chrono>
#include <cstdio>

namespace windows {

namespace {

using Clock = std::chrono::steady_clock;

constexpr double kMeasureSeconds = 0.5;
constexpr double kTooManyWaits = 1.5; // times the refresh rate

struct PacerState {
    double refreshRate = 0;
    bool waitWaits = true;
    int waits = 0; // waits returned since `measureStart`
    Clock::time_point measureStart{};
    bool clockRunning = false;
    Clock::time_point nextFrame{};
    bool timerResolutionSet = false;
};

PacerState pacer;

void NoteWait(Clock::time_point returned) {
    if (pacer.refreshRate < 1.0) {
        return;
    }
    if (pacer.waits == 0) {
        pacer.measureStart = returned;
    }
    ++pacer.waits;
    const double seconds = std::chrono::duration<double>(returned - pacer.measureStart).count();
    // More waits than half a second may hold tell at once, without waiting for its end.
    const bool tooMany = pacer.waits > kTooManyWaits * pacer.refreshRate * kMeasureSeconds + 1;
    if (seconds < kMeasureSeconds && !tooMany) {
        return;
    }
    if (tooMany || (pacer.waits - 1) / seconds > kTooManyWaits * pacer.refreshRate) {
        pacer.waitWaits = false;
        OutputDebugStringA(
            "zarvo: the wait for the vertical blank returns at once; a clock paces the show\n");
    }
    pacer.waits = 0;
}

// Sleeps until the next tick of a clock at `framesPerSecond`; a late frame starts the count
// again instead of hurrying to catch up.
void WaitForClock(double framesPerSecond) {
    if (!pacer.timerResolutionSet) {
        timeBeginPeriod(1); // Sleep to the millisecond
        pacer.timerResolutionSet = true;
    }
    const auto period = std::chrono::duration_cast<Clock::duration>(
        std::chrono::duration<double>(1.0 / framesPerSecond));
    const Clock::time_point now = Clock::now();
    if (!pacer.clockRunning || now > pacer.nextFrame + period) {
        pacer.nextFrame = now;
        pacer.clockRunning = true;
    }
    pacer.nextFrame += period;
    for (Clock::time_point t = Clock::now(); t < pacer.nextFrame; t = Clock::now()) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(pacer.nextFrame - t).count();
        Sleep(left > 1 ? static_cast<DWORD>(left - 1) : 0);
    }
}

} // namespace

void SetPaceRefreshRate(double refreshRate) {
    pacer.refreshRate = refreshRate;
    pacer.waits = 0;
}

// The rule applied to what is known of the display now.
static platform::PacePlan Plan(bool waitWaits) {
    const double emulated = platform::TestRefreshRate();
    return platform::PlanPace(platform::CurrentStartOptions().pace,
                              emulated > 0 ? emulated : pacer.refreshRate,
                              emulated > 0 || waitWaits);
}

HRESULT PaceFrame(BlankWait waitForBlank, void* context) {
    const platform::PacePlan plan = Plan(pacer.waitWaits && waitForBlank != nullptr);
    if (platform::TestRefreshRate() > 0) {
        // The tests' display: its refreshes are the clock's, a frame every plan.refreshes.
        WaitForClock(plan.framesPerSecond);
        return DD_OK;
    }
    for (int i = 0; i < plan.refreshes && pacer.waitWaits; ++i) {
        const HRESULT result = waitForBlank(context);
        if (result == DDERR_UNSUPPORTED) {
            // A display without the wait: the clock from now on, this frame included.
            pacer.waitWaits = false;
            return PaceFrame(nullptr, nullptr);
        }
        if (result != DD_OK) {
            return result;
        }
        NoteWait(Clock::now());
    }
    if (plan.refreshes == 0) {
        WaitForClock(plan.framesPerSecond);
    }
    return DD_OK;
}

std::string PaceDescription() {
    const double emulated = platform::TestRefreshRate();
    return platform::DescribePace(Plan(pacer.waitWaits),
                                  emulated > 0 ? emulated : pacer.refreshRate) +
           (emulated > 0 ? " (emulated)" : "");
}

} // namespace windows
