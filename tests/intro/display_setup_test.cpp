// InitDisplay's requests and ReleaseDisplay's order, including the immediate exit.
#include <cstdio>
#include <cstdlib>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/app_state.h"
#include "app/error_box.h"
#include "app/main_window.h"
#include "app/shutdown.h"
#include "display/display_setup.h"
#include "intro_test_support.h"

using ::testing::ElementsAre;

namespace {

using DisplaySetupTest = IntroTest;
using DisplaySetupDeathTest = IntroTest;

TEST_F(DisplaySetupTest, RequestsAScreenSizedPrimaryAndA320x200RgbBackSurfaceInSystemMemory) {
    StartIntro();
    ASSERT_EQ(fake::SurfaceRequests().size(), 2u);
    const DDSURFACEDESC2& primary = fake::SurfaceRequests()[0];
    EXPECT_EQ(primary.dwSize, 124u);
    EXPECT_EQ(primary.dwFlags, 0x1u);
    EXPECT_EQ(primary.dwWidth, 0u);
    EXPECT_EQ(primary.dwHeight, 0u);
    EXPECT_EQ(primary.ddsCaps.dwCaps, 0x200u);
    EXPECT_EQ(primary.ddpfPixelFormat.dwSize, 0u);
    EXPECT_EQ(primary.ddpfPixelFormat.dwFlags, 0u);
    EXPECT_EQ(primary.ddpfPixelFormat.dwRGBBitCount, 0u);

    const DDSURFACEDESC2& back = fake::SurfaceRequests()[1];
    EXPECT_EQ(back.dwSize, 124u);
    EXPECT_EQ(back.dwFlags, 0x1007u);
    EXPECT_EQ(back.dwWidth, 320u);
    EXPECT_EQ(back.dwHeight, 200u);
    EXPECT_EQ(back.ddsCaps.dwCaps, 0x840u);
    EXPECT_EQ(back.ddpfPixelFormat.dwSize, 32u);
    EXPECT_EQ(back.ddpfPixelFormat.dwFlags, 0x40u);
    EXPECT_EQ(back.ddpfPixelFormat.dwRGBBitCount, 32u);
    EXPECT_EQ(back.ddpfPixelFormat.dwRBitMask, 0x00FF0000u);
    EXPECT_EQ(back.ddpfPixelFormat.dwGBitMask, 0x0000FF00u);
    EXPECT_EQ(back.ddpfPixelFormat.dwBBitMask, 0x000000FFu);
    EXPECT_EQ(back.ddpfPixelFormat.dwRGBAlphaBitMask, 0u);
    for (const DDSURFACEDESC2& desc : fake::SurfaceRequests()) {
        EXPECT_EQ(desc.lPitch, 0);
        EXPECT_EQ(desc.lpSurface, nullptr);
        EXPECT_EQ(desc.dwBackBufferCount, 0u);
        EXPECT_EQ(desc.ddsCaps.dwCaps2, 0u);
    }
    EXPECT_EQ(appState.displayReady, 1);
    EXPECT_TRUE(fake::Exclusive());
    EXPECT_TRUE(fake::ModeChanged());
    // Only the version-4 interface and the two surfaces are held.
    EXPECT_EQ(fake::LiveDisplayObjects(), 3);
}

TEST_F(DisplaySetupTest, ReleaseWithNothingHeldOnlyClearsTheFlag) {
    appState.displayReady = 1;
    ReleaseDisplay();
    EXPECT_EQ(appState.displayReady, 0);
    EXPECT_TRUE(fake::Calls().empty());
}

TEST_F(DisplaySetupTest, ReleaseGivesUpTheObjectFirstThenPrimaryThenBack) {
    StartIntro();
    ReleaseDisplay();
    EXPECT_THAT(fake::CallTexts(),
                ElementsAre("directDraw->SetCooperativeLevel(window, 8)",
                            "directDraw->RestoreDisplayMode()", "directDraw->Release()",
                            "primary->Release()", "back->Release()"));
    EXPECT_EQ(appState.directDraw, nullptr);
    EXPECT_EQ(appState.primarySurface, nullptr);
    EXPECT_EQ(appState.backSurface, nullptr);
    EXPECT_EQ(fake::LiveDisplayObjects(), 0);
    fake::ClearLog();
    ReleaseDisplay();
    EXPECT_TRUE(fake::Calls().empty());
}

TEST_F(DisplaySetupTest, AFailedQueryLeavesNothingHeldAndTheReleaseMakesNoCall) {
    appState.instance = TestInstance();
    fake::Script("QueryInterface", 1, E_NOINTERFACE);
    EXPECT_EQ(InitDisplay(), 0);
    EXPECT_EQ(appState.directDraw, nullptr);
    EXPECT_EQ(fake::CountCalls("SetCooperativeLevel"), 0);
    EXPECT_EQ(fake::LiveDisplayObjects(), 0);
    EXPECT_EQ(appState.displayReady, 0);
}

TEST_F(DisplaySetupTest, AFailedBackSurfaceLeavesItNullAndReleasesThePrimary) {
    appState.instance = TestInstance();
    ASSERT_EQ(CreateMainWindow(), 1);
    fake::Script("CreateSurface", 2, DDERR_OUTOFMEMORY);
    EXPECT_EQ(InitDisplay(), 0);
    EXPECT_EQ(appState.backSurface, nullptr);
    EXPECT_EQ(appState.primarySurface, nullptr);
    EXPECT_EQ(fake::LiveDisplayObjects(), 0);
    EXPECT_EQ(fake::CountCalls("Release"), 3); // the first interface, the object, the primary
}

// The display cannot be returned: the process ends at once with status 0, whatever was under way.
TEST_F(DisplaySetupDeathTest, FailingToLeaveExclusiveModeEndsTheProcessWithStatusZero) {
    EXPECT_EXIT(
        {
            StartIntro();
            fake::Script("SetCooperativeLevel", 1, DDERR_NOEXCLUSIVEMODE);
            Shutdown();
            std::exit(3); // not reached
        },
        ::testing::ExitedWithCode(0), "");
}

TEST_F(DisplaySetupDeathTest, FailingToRestoreTheModeEndsTheProcessWithStatusZero) {
    EXPECT_EXIT(
        {
            StartIntro();
            fake::Script("RestoreDisplayMode", 1, DDERR_GENERIC);
            ReleaseDisplay();
            std::exit(3);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST_F(DisplaySetupDeathTest, AnErrorReportUnderWayShowsNoBoxWhenTheDisplayCannotBeReturned) {
    EXPECT_EXIT(
        {
            StartIntro();
            fake::Script("SetCooperativeLevel", 1, DDERR_GENERIC);
            ErrorBox("Sceners: something");
            // Reached only if ErrorBox came back: say whether a box was shown.
            std::fprintf(stderr, "boxes=%zu\n", fake::Boxes().size());
            std::exit(3);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST_F(DisplaySetupDeathTest, TheRestOfShutdownDoesNotRunAfterTheExit) {
    // The exit happens inside ReleaseDisplay: the light array is never freed by hand, and the
    // process status still says 0.
    EXPECT_EXIT(
        {
            StartIntro();
            fake::Script("RestoreDisplayMode", 1, DDERR_GENERIC);
            std::atexit([] {
                if (fake::CountCalls("Release") != 0) {
                    std::_Exit(4); // an interface was released after the failure
                }
            });
            Shutdown();
            std::exit(3);
        },
        ::testing::ExitedWithCode(0), "");
}

} // namespace
