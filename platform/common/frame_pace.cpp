// The show's pace: the refresh divisor nearest the pace asked for, or a timer.
#include "frame_pace.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace platform {

// Reported rates outside this range are taken as unknown.
constexpr double kLeastRefresh = 20.0;
constexpr double kMostRefresh = 1000.0;

bool ParsePace(const char* text, PaceRequest& request) {
    if (text == nullptr) {
        return false;
    }
    if (std::strcmp(text, "display") == 0) {
        request = PaceRequest{PaceKind::display, kShowPace};
        return true;
    }
    // Plain decimal digits with at most one point: no sign, exponent or spaces.
    int points = 0;
    int digits = 0;
    for (const char* c = text; *c != '\0'; ++c) {
        if (*c == '.') {
            ++points;
        } else if (*c >= '0' && *c <= '9') {
            ++digits;
        } else {
            return false;
        }
    }
    if (digits == 0 || points > 1 || digits > 8) {
        return false;
    }
    const double rate = std::strtod(text, nullptr);
    if (!(rate >= kLeastPace && rate <= kMostPace)) {
        return false;
    }
    request = PaceRequest{PaceKind::chosen, rate};
    return true;
}

// The whole n for which rate / n comes nearest the target, measured as a ratio (80 is as near 70
// as 61.25 is); a tie goes to the faster rate.
static int NearestDivisor(double refreshRate, double target) {
    const int below = static_cast<int>(std::floor(refreshRate / target));
    int best = 1;
    double bestDistance = HUGE_VAL;
    for (int n = below > 1 ? below : 1; n <= below + 1; ++n) {
        const double distance = std::fabs(std::log(refreshRate / n / target));
        if (distance < bestDistance - 1e-9) {
            best = n;
            bestDistance = distance;
        }
    }
    return best;
}

PacePlan PlanPace(const PaceRequest& request, double refreshRate, bool waitWaits) {
    const bool known = refreshRate >= kLeastRefresh && refreshRate <= kMostRefresh;
    PacePlan plan;
    if (known && waitWaits) {
        plan.refreshes = request.kind == PaceKind::display
                             ? 1
                             : NearestDivisor(refreshRate, request.framesPerSecond);
        plan.framesPerSecond = refreshRate / plan.refreshes;
        return plan;
    }
    switch (request.kind) {
    case PaceKind::show:
        plan.framesPerSecond = kTimerPace;
        break;
    case PaceKind::chosen:
        plan.framesPerSecond = request.framesPerSecond;
        break;
    case PaceKind::display:
        plan.framesPerSecond = known ? refreshRate : kTimerPace;
        break;
    }
    return plan;
}

static const char* Ordinal(int n) {
    const int lastTwo = n % 100;
    if (lastTwo >= 11 && lastTwo <= 13) {
        return "th";
    }
    switch (n % 10) {
    case 1:
        return "st";
    case 2:
        return "nd";
    case 3:
        return "rd";
    default:
        return "th";
    }
}

std::string DescribePace(const PacePlan& plan, double refreshRate) {
    char text[128];
    if (plan.refreshes == 1) {
        std::snprintf(text, sizeof text, "%.4g frames a second: every refresh of %.4g Hz",
                      plan.framesPerSecond, refreshRate);
    } else if (plan.refreshes > 1) {
        std::snprintf(text, sizeof text, "%.4g frames a second: every %d%s refresh of %.4g Hz",
                      plan.framesPerSecond, plan.refreshes, Ordinal(plan.refreshes), refreshRate);
    } else {
        std::snprintf(text, sizeof text, "%.4g frames a second: by the timer",
                      plan.framesPerSecond);
    }
    return text;
}

double TestRefreshRate() {
    const char* setting = std::getenv("ZARVO_TEST_REFRESH_HZ");
    if (setting == nullptr || setting[0] == '\0') {
        return 0;
    }
    char* end = nullptr;
    const double rate = std::strtod(setting, &end);
    return *end == '\0' && rate >= 20 && rate <= 1000 ? rate : 0;
}

} // namespace platform
