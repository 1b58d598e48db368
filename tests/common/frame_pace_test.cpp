// The show's pace: the refresh divisor chosen on every display, the timer where no refresh can be
// followed, and what --fps accepts.
#include "frame_pace.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

using platform::PaceKind;
using platform::PacePlan;
using platform::PaceRequest;
using platform::PlanPace;

PaceRequest Parsed(const char* text) {
    PaceRequest request;
    EXPECT_TRUE(platform::ParsePace(text, request)) << text;
    return request;
}

TEST(FramePace, CommonDisplaysGetTheWholeDivisorNearestSeventy) {
    const struct {
        double refresh;
        int refreshes;
        double fps;
    } displays[] = {{60, 1, 60},  {75, 1, 75},    {85, 1, 85},  {120, 2, 60},
                    {144, 2, 72}, {165, 2, 82.5}, {240, 3, 80}, {360, 5, 72}};
    for (const auto& display : displays) {
        const PacePlan plan = PlanPace(PaceRequest{}, display.refresh, true);
        EXPECT_EQ(plan.refreshes, display.refreshes) << display.refresh << " Hz";
        EXPECT_DOUBLE_EQ(plan.framesPerSecond, display.fps) << display.refresh << " Hz";
    }
    EXPECT_EQ(platform::DescribePace(PlanPace(PaceRequest{}, 144, true), 144),
              "72 frames a second: every 2nd refresh of 144 Hz");
}

// Against every whole divisor, on every rate a display may report: no other divisor comes nearer
// the pace asked for (as a ratio), and the plan's rate is the refresh's own divided.
TEST(FramePace, NoOtherDivisorComesNearer) {
    for (double target : {70.0, 50.0, 24.0, 100.0}) {
        const PaceRequest request =
            target == 70.0 ? PaceRequest{} : PaceRequest{PaceKind::chosen, target};
        for (double refresh = 20; refresh <= 1000; refresh += 0.5) {
            const PacePlan plan = PlanPace(request, refresh, true);
            ASSERT_GE(plan.refreshes, 1) << refresh;
            EXPECT_DOUBLE_EQ(plan.framesPerSecond * plan.refreshes, refresh);
            const double chosen = std::fabs(std::log(refresh / plan.refreshes / target));
            for (int n = 1; n <= 60; ++n) {
                EXPECT_GE(std::fabs(std::log(refresh / n / target)), chosen - 1e-9)
                    << refresh << " Hz toward " << target << ": " << n << " beats "
                    << plan.refreshes;
            }
        }
    }
}

TEST(FramePace, WithoutARefreshToFollowTheTimerPaces) {
    for (double refresh : {0.0, -1.0, 5.0, 5000.0}) {
        const PacePlan plan = PlanPace(PaceRequest{}, refresh, true);
        EXPECT_EQ(plan.refreshes, 0) << "unknown refresh " << refresh;
        EXPECT_DOUBLE_EQ(plan.framesPerSecond, 60.0);
    }
    // A wait that returns at once: the timer, at 60, whatever the display claims.
    PacePlan plan = PlanPace(PaceRequest{}, 144, false);
    EXPECT_EQ(plan.refreshes, 0);
    EXPECT_DOUBLE_EQ(plan.framesPerSecond, 60.0);
    EXPECT_EQ(platform::DescribePace(plan, 144), "60 frames a second: by the timer");
    plan = PlanPace(Parsed("50"), 144, false);
    EXPECT_EQ(plan.refreshes, 0);
    EXPECT_DOUBLE_EQ(plan.framesPerSecond, 50.0);
}

TEST(FramePace, FpsDisplayFollowsEveryRefreshAndFpsNTheDivisorNearestN) {
    const PaceRequest display = Parsed("display");
    EXPECT_EQ(display.kind, PaceKind::display);
    for (double refresh : {60.0, 144.0, 240.0}) {
        const PacePlan plan = PlanPace(display, refresh, true);
        EXPECT_EQ(plan.refreshes, 1);
        EXPECT_DOUBLE_EQ(plan.framesPerSecond, refresh);
        // Without a wait that waits, the timer stands in for the refresh.
        EXPECT_DOUBLE_EQ(PlanPace(display, refresh, false).framesPerSecond, refresh);
    }
    EXPECT_DOUBLE_EQ(PlanPace(display, 0, true).framesPerSecond, 60.0);
    PacePlan plan = PlanPace(Parsed("50"), 144, true);
    EXPECT_EQ(plan.refreshes, 3);
    EXPECT_DOUBLE_EQ(plan.framesPerSecond, 48.0);
    plan = PlanPace(Parsed("200"), 60, true);
    EXPECT_EQ(plan.refreshes, 1) << "never faster than the refresh";
    EXPECT_DOUBLE_EQ(Parsed("59.94").framesPerSecond, 59.94);
}

TEST(FramePace, FpsRefusesWhatIsNoPace) {
    for (const char* text : {"", "0", "0.5", "1001", "-60", "+60", "6e1", "60fps", " 60", "1.2.3",
                             "inf", "nan", "Display", "."}) {
        PaceRequest request{PaceKind::chosen, 33};
        EXPECT_FALSE(platform::ParsePace(text, request)) << '"' << text << '"';
        EXPECT_DOUBLE_EQ(request.framesPerSecond, 33) << "left as it was";
    }
    PaceRequest untouched;
    EXPECT_FALSE(platform::ParsePace(nullptr, untouched));
    EXPECT_DOUBLE_EQ(Parsed("1").framesPerSecond, 1.0);
    EXPECT_DOUBLE_EQ(Parsed("1000").framesPerSecond, 1000.0);
}

} // namespace
