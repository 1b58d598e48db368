// The live MIDAS layer on SDL's dummy audio driver and on the silent timer: the module plays in
// the background, sync callbacks arrive from the playback thread, and suspend stops them.
#include "xm_writer.h"

#include <midasdll.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <unistd.h>

namespace {

std::atomic<unsigned> syncs{0};

void MIDAS_CALL CountSync(unsigned, unsigned, unsigned) {
    syncs.fetch_add(1, std::memory_order_relaxed);
}

// Waits (up to 10 s) until the count has passed `target`; false when it never does.
bool WaitForSyncs(unsigned target) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (syncs.load() < target) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

std::string FastSongFile() {
    // One row with a W, speed 1 at 255 BPM, looping: about a hundred syncs a second.
    xmtest::Song song;
    song.speed = 1;
    song.bpm = 255;
    song.patterns.push_back(xmtest::PatternWithSyncs(1, {0}));
    const std::string path =
        ::testing::TempDir() + "zarvo_live_" + std::to_string(getpid()) + ".xm";
    EXPECT_TRUE(xmtest::WriteXm(song, path));
    return path;
}

void PlayAndSuspend(const char* audioDriver) {
    setenv("SDL_AUDIODRIVER", audioDriver, 1);
    const std::string path = FastSongFile();
    syncs = 0;
    ASSERT_TRUE(MIDASstartup());
    ASSERT_TRUE(MIDASinit());
    ASSERT_TRUE(MIDASstartBackgroundPlay(0));
    std::string name = path;
    MIDASmodule module = MIDASloadModule(name.data());
    ASSERT_NE(module, nullptr) << MIDASgetErrorMessage(MIDASgetLastError());
    const MIDASmodulePlayHandle play = MIDASplayModule(module, TRUE);
    ASSERT_NE(play, 0u);
    ASSERT_TRUE(MIDASsetMusicSyncCallback(play, CountSync));
    EXPECT_TRUE(WaitForSyncs(10)) << "the music clock does not run";

    ASSERT_TRUE(MIDASsuspend());
    const unsigned held = syncs.load();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_EQ(syncs.load(), held) << "callbacks arrived while suspended";
    ASSERT_TRUE(MIDASresume());
    EXPECT_TRUE(WaitForSyncs(held + 10)) << "the clock did not run on after resuming";

    EXPECT_TRUE(MIDASsetMusicSyncCallback(play, nullptr));
    EXPECT_TRUE(MIDASstopModule(play));
    const unsigned stopped = syncs.load();
    EXPECT_TRUE(MIDASfreeModule(module));
    EXPECT_TRUE(MIDASstopBackgroundPlay());
    EXPECT_TRUE(MIDASclose());
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(syncs.load(), stopped);
    std::remove(path.c_str());
}

TEST(LiveSound, PlaysOnTheAudioDeviceAndSuspendsTogetherWithItsCallbacks) {
    PlayAndSuspend("dummy");
}

TEST(LiveSound, WithoutAnAudioDeviceTheTimerKeepsTheClockRunning) {
    PlayAndSuspend("no-such-driver");
}

TEST(LiveSound, AMissingModuleFailsWithATextNamingTheFile) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    ASSERT_TRUE(MIDASstartup());
    ASSERT_TRUE(MIDASinit());
    char name[] = "no-such-dir/Zarvo.xm";
    EXPECT_EQ(MIDASloadModule(name), nullptr);
    const std::string text = MIDASgetErrorMessage(MIDASgetLastError());
    EXPECT_NE(text.find("'no-such-dir/Zarvo.xm'"), std::string::npos) << text;
    EXPECT_EQ(MIDASplayModule(nullptr, TRUE), 0u);
    EXPECT_FALSE(MIDASstopModule(12345));
    EXPECT_TRUE(MIDASclose());
}

} // namespace
