// Music start-up, staged teardown, suspend and resume, and the sync clock.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/app_state.h"
#include "app/main_window.h"
#include "app/shutdown.h"
#include "intro_test_support.h"
#include "music/music.h"

using ::testing::ElementsAre;

namespace {

using MusicTest = IntroTest;

TEST_F(MusicTest, StartsInFiveStagesAndCountsEverySyncEvent) {
    EXPECT_EQ(InitMusic(), 1);
    EXPECT_EQ(appState.musicStage, 5u);
    EXPECT_TRUE(fake::SyncCallbackInstalled());
    EXPECT_EQ(fake::DeliverSync(7), 7);
    EXPECT_EQ(appState.syncCount.load(), 7u);
}

TEST_F(MusicTest, TheClockCountsCallbacksFromThePlaybackThread) {
    ASSERT_EQ(InitMusic(), 1);
    EXPECT_EQ(fake::DeliverSyncFromThread(5000), 5000);
    EXPECT_EQ(appState.syncCount.load(), 5000u);
    // The callback ignores what the sync command carried.
    MusicSyncCallback(0xFFu, 12u, 63u);
    EXPECT_EQ(appState.syncCount.load(), 5001u);
}

TEST_F(MusicTest, ShutdownUndoesAllStagesNewestFirstAndASecondCallDoesNothing) {
    ASSERT_EQ(InitMusic(), 1);
    fake::ClearLog();
    ShutdownMusic();
    EXPECT_THAT(fake::CallTexts(), ElementsAre("MIDASsetMusicSyncCallback(1, NULL)",
                                               "MIDASstopModule(1)", "MIDASfreeModule(module)",
                                               "MIDASstopBackgroundPlay()", "MIDASclose()"));
    EXPECT_EQ(appState.musicStage, 0u);
    fake::ClearLog();
    ShutdownMusic();
    EXPECT_TRUE(fake::Calls().empty());
    EXPECT_THAT(fake::Violations(), ::testing::IsEmpty());
}

TEST_F(MusicTest, SuspendStopsTheClockAndResumeContinuesIt) {
    ASSERT_EQ(InitMusic(), 1);
    fake::DeliverSync(3);
    SuspendMusic();
    EXPECT_EQ(fake::DeliverSyncFromThread(10), 0);
    EXPECT_EQ(appState.syncCount.load(), 3u);
    ResumeMusic();
    EXPECT_EQ(fake::DeliverSync(2), 2);
    EXPECT_EQ(appState.syncCount.load(), 5u);
}

TEST_F(MusicTest, ActivationChangesAfterTeardownMakeNoLibraryCall) {
    StartIntro();
    Shutdown();
    fake::ClearLog();
    MainWndProc(appState.window, WM_ACTIVATEAPP, 0, 0);
    MainWndProc(appState.window, WM_ACTIVATEAPP, 1, 0);
    SuspendMusic();
    ResumeMusic();
    EXPECT_TRUE(fake::Calls().empty());
    EXPECT_THAT(fake::Violations(), ::testing::IsEmpty());
}

TEST_F(MusicTest, SyncEventsBeforeTheCallbackIsInstalledAreNotCounted) {
    fake::OnCall("MIDASsetMusicSyncCallback", [](int nth) {
        if (nth == 1) {
            EXPECT_EQ(fake::DeliverSync(4), 0);
        }
    });
    ASSERT_EQ(InitMusic(), 1);
    EXPECT_EQ(appState.syncCount.load(), 0u);
}

TEST_F(MusicTest, TheCountWrapsAsAnUnsigned32BitNumber) {
    appState.syncCount = 0xFFFFFFFFu;
    MusicSyncCallback(0, 0, 0);
    EXPECT_EQ(appState.syncCount.load(), 0u);
}

} // namespace
