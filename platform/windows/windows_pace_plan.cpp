// The show's pace rule: the divisor of the refresh nearest the show's pace, or the timer.
#include "windows_pace_plan.h"

#include <cmath>

namespace windows {

PacePlan PlanShowPace(double refreshRate, bool waitWaits) {
    PacePlan plan;
    if (!waitWaits || !(refreshRate >= 1.0)) {
        plan.framesPerSecond = kTimerPace;
        return plan;
    }
    // The smallest n of the nearest rate: a tie (240 Hz: 80 or 60) keeps the faster pace.
    int best = 1;
    for (int n = 2; refreshRate / n >= 1.0 && n <= 64; ++n) {
        if (std::fabs(refreshRate / n - kShowPace) < std::fabs(refreshRate / best - kShowPace)) {
            best = n;
        }
    }
    plan.refreshes = best;
    plan.framesPerSecond = refreshRate / best;
    return plan;
}

} // namespace windows
