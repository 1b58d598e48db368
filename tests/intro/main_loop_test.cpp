// The main loop and the window procedure: one message per pass, frames only when idle and
// active, deactivation, Escape, and the roads out of a failing frame.
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/app_state.h"
#include "app/main_window.h"
#include "intro_test_support.h"
#include "raytrace/scene.h"

namespace {

using MainLoopTest = IntroTest;

// Posts Escape when the n-th frame waits for the vertical blank.
void EscapeAtFrame(int frame) {
    fake::OnCall("WaitForVerticalBlank", [frame](int nth) {
        if (nth == frame) {
            fake::Post(WM_KEYDOWN, VK_ESCAPE);
        }
    });
}

TEST_F(MainLoopTest, HandlesOneMessagePerPassAndDrawsOnlyWhenTheQueueIsEmpty) {
    fake::OnCall("PeekMessageA", [](int nth) {
        if (nth == 1) {
            fake::Post(WM_KEYDOWN, 'A');
            fake::Post(WM_KEYDOWN, 'B');
            fake::Post(WM_KEYDOWN, 'C');
        }
    });
    EscapeAtFrame(1);
    EXPECT_EQ(RunWinMain(), 0);

    // Three passes with a message each, then the first empty pass draws the first frame.
    const int firstFrame = fake::IndexOf("GetDC");
    ASSERT_GT(firstFrame, 0);
    EXPECT_EQ(fake::IndexOf("DispatchMessageA", 3) < firstFrame, true);
    EXPECT_EQ(fake::IndexOf("DispatchMessageA", 4) > firstFrame, true);
    EXPECT_EQ(fake::IndexOf("PeekMessageA", 4) < firstFrame, true);
    EXPECT_EQ(fake::IndexOf("PeekMessageA", 5) > firstFrame, true);
    for (int pass = 1; pass <= 3; ++pass) {
        const int peek = fake::IndexOf("PeekMessageA", pass);
        EXPECT_EQ(fake::Calls()[peek].args, "msg, NULL, 0, 0, 0");
        EXPECT_EQ(fake::Calls()[peek + 1].name, "GetMessageA");
        EXPECT_EQ(fake::Calls()[peek + 2].name, "TranslateMessage");
        EXPECT_EQ(fake::Calls()[peek + 3].name, "DispatchMessageA");
    }
    // Other keys take the default handling.
    EXPECT_EQ(fake::CountCalls("DefWindowProcA"), 4); // A, B, C and the close
    EXPECT_EQ(fake::CountCalls("WaitMessage"), 0);
}

TEST_F(MainLoopTest, DeactivationStopsFramesAndSuspendsMusicUntilReactivation) {
    int framesWhileInactive = -1;
    DWORD countWhileInactive = 0;
    fake::OnCall("WaitForVerticalBlank", [](int nth) {
        fake::DeliverSync(1);
        if (nth == 2) {
            fake::Post(WM_ACTIVATEAPP, 0);
        }
        if (nth == 4) {
            fake::Post(WM_KEYDOWN, VK_ESCAPE);
        }
    });
    fake::OnCall("WaitMessage", [&](int nth) {
        if (nth == 1) {
            framesWhileInactive = fake::CountCalls("WaitForVerticalBlank");
            // The suspended library plays nothing, so the clock stands still.
            EXPECT_EQ(fake::DeliverSync(10), 0);
            countWhileInactive = appState.syncCount.load();
            EXPECT_EQ(appState.appActive, 0);
            EXPECT_TRUE(fake::MusicSuspended());
            fake::Post(WM_ACTIVATEAPP, 1);
        }
    });

    EXPECT_EQ(RunWinMain(), 0);

    EXPECT_EQ(framesWhileInactive, 2);
    EXPECT_EQ(countWhileInactive, 2u);
    EXPECT_EQ(fake::CountCalls("WaitMessage"), 1);
    EXPECT_EQ(fake::CountCalls("MIDASsuspend"), 1);
    // Once when the window came up, once on reactivation.
    EXPECT_EQ(fake::CountCalls("MIDASresume"), 2);
    EXPECT_GT(fake::IndexOf("MIDASresume", 2), fake::IndexOf("MIDASsuspend"));
    EXPECT_GE(fake::CountCalls("WaitForVerticalBlank"), 4);
    EXPECT_THAT(fake::Violations(), ::testing::IsEmpty());
}

TEST_F(MainLoopTest, AFailedFrameIsReportedOnceAndTheSecondShutdownDoesNothing) {
    appState.syncCount = 10; // past the opening, so the first frame locks the surface
    fake::Script("Lock", 1, DDERR_SURFACEBUSY);
    EXPECT_EQ(RunWinMain(), 0);

    ASSERT_EQ(fake::Boxes().size(), 1u);
    EXPECT_EQ(fake::Boxes()[0].owner, fake::MainWindow());
    EXPECT_EQ(fake::Boxes()[0].liveDisplayObjects, 0);
    EXPECT_FALSE(fake::Boxes()[0].modeChanged);
    // The box is the last call: the loop ends and the second Shutdown finds nothing to release.
    EXPECT_EQ(fake::IndexOf("MessageBoxA"), static_cast<int>(fake::Calls().size()) - 1);
    EXPECT_EQ(fake::CountCalls("RestoreDisplayMode"), 1);
    EXPECT_EQ(fake::CountCalls("MIDASclose"), 1);
    EXPECT_THAT(fake::Violations(), ::testing::IsEmpty());
}

TEST_F(MainLoopTest, AFailedTextMeasurementEndsTheShowSilently) {
    fake::Script("GetTextExtentPoint32A", 1, 0);
    EXPECT_EQ(RunWinMain(), 0);
    EXPECT_TRUE(fake::Boxes().empty());
    EXPECT_EQ(fake::CountCalls("TextOutA"), 0);
    EXPECT_EQ(fake::CountCalls("WaitForVerticalBlank"), 0);
    EXPECT_EQ(fake::CountCalls("RestoreDisplayMode"), 1);
    EXPECT_EQ(fake::LiveDisplayObjects(), 0);
    EXPECT_EQ(scene.lights, nullptr);
    EXPECT_THAT(fake::Violations(), ::testing::IsEmpty());
}

TEST_F(MainLoopTest, EscapeClosesTheWindowWhichPostsTheQuit) {
    StartIntro();
    EXPECT_EQ(MainWndProc(appState.window, WM_KEYDOWN, VK_ESCAPE, 0), 0);
    EXPECT_THAT(fake::CallTexts(), ::testing::ElementsAre("PostMessageA(window, 0x0010, 0, 0)"));
    // The close goes through the default handling, which destroys the window.
    MSG msg{};
    ASSERT_TRUE(GetMessageA(&msg, nullptr, 0, 0));
    DispatchMessageA(&msg);
    EXPECT_FALSE(fake::WindowAlive());
    ASSERT_FALSE(GetMessageA(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.message, WM_QUIT);
    EXPECT_EQ(msg.wParam, 0u);
}

TEST_F(MainLoopTest, ActivationValuesOneAndTwoActivateAndAnyOtherDeactivates) {
    StartIntro();
    const WPARAM inactive[] = {0, 3, 100};
    for (WPARAM value : inactive) {
        appState.appActive = 1;
        EXPECT_EQ(MainWndProc(appState.window, WM_ACTIVATEAPP, value, 0), 0);
        EXPECT_EQ(appState.appActive, 0) << value;
        EXPECT_TRUE(fake::MusicSuspended());
    }
    for (WPARAM value : {WPARAM{1}, WPARAM{2}}) {
        appState.appActive = 0;
        EXPECT_EQ(MainWndProc(appState.window, WM_ACTIVATEAPP, value, 0), 0);
        EXPECT_EQ(appState.appActive, 1) << value;
        EXPECT_FALSE(fake::MusicSuspended());
    }
    EXPECT_EQ(fake::CountCalls("DefWindowProcA"), 0);
}

TEST_F(MainLoopTest, TheCursorIsHiddenAndOtherMessagesTakeTheDefaultWithTheirResult) {
    StartIntro();
    EXPECT_EQ(MainWndProc(appState.window, WM_SETCURSOR, 0, 0), 1);
    EXPECT_THAT(fake::CallTexts(), ::testing::ElementsAre("SetCursor(NULL)"));

    fake::ClearLog();
    fake::ScriptAlways("DefWindowProcA", 1234);
    EXPECT_EQ(MainWndProc(appState.window, 0x0201, 7, 9), 1234);
    EXPECT_EQ(MainWndProc(appState.window, WM_KEYDOWN, 'Q', 5), 1234);
    EXPECT_THAT(fake::CallTexts(), ::testing::ElementsAre("DefWindowProcA(window, 0x0201, 7, 9)",
                                                          "DefWindowProcA(window, 0x0100, 81, 5)"));
}

TEST_F(MainLoopTest, WithoutActivationTheLoopSleepsInsteadOfDrawing) {
    fake::SetActivateOnShow(false);
    fake::OnCall("WaitMessage", [](int nth) {
        if (nth == 1) {
            fake::Post(WM_KEYDOWN, VK_ESCAPE);
        }
    });
    EXPECT_EQ(RunWinMain(), 0);
    EXPECT_EQ(fake::CountCalls("GetDC"), 0);
    EXPECT_EQ(fake::CountCalls("Lock"), 0);
    EXPECT_EQ(fake::CountCalls("WaitMessage"), 1);
}

} // namespace

namespace {

TEST_F(MainLoopTest, WithoutADisplayTheLoopSleepsEvenWhenActive) {
    fake::OnCall("PeekMessageA", [](int nth) {
        if (nth == 1) {
            appState.displayReady = 0; // as after a release that the loop has not yet noticed
        }
    });
    fake::OnCall("WaitMessage", [](int) { fake::Post(WM_KEYDOWN, VK_ESCAPE); });
    EXPECT_EQ(RunWinMain(), 0);
    EXPECT_EQ(appState.appActive, 1);
    EXPECT_EQ(fake::CountCalls("GetDC"), 0);
    EXPECT_EQ(fake::CountCalls("WaitMessage"), 1);
}

} // namespace
