// The sound library's walk, shared by the tests of every sound output.
#include "midas_walk.h"

#include "xm_writer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace soundtest {

namespace {

std::atomic<unsigned> syncs{0};

} // namespace

void MIDAS_CALL CountSync(unsigned, unsigned, unsigned) {
    syncs.fetch_add(1, std::memory_order_relaxed);
}

void ResetSyncsCounted() {
    syncs = 0;
}

std::string WriteFastSong(const std::string& name) {
    xmtest::Song song;
    song.speed = 1;
    song.bpm = 255;
    song.patterns.push_back(xmtest::PatternWithSyncs(1, {0}));
    const std::string path = ::testing::TempDir() + name;
    EXPECT_TRUE(xmtest::WriteXm(song, path));
    return path;
}

unsigned SyncsCounted() {
    return syncs.load();
}

void WalkPlayAndSuspend(const std::string& modulePath, const WalkClock& clock) {
    syncs = 0;
    ASSERT_TRUE(MIDASstartup());
    ASSERT_TRUE(MIDASinit()) << MIDASgetErrorMessage(MIDASgetLastError());
    if (clock.afterInit) {
        clock.afterInit();
    }
    ASSERT_TRUE(MIDASstartBackgroundPlay(0));
    std::string name = modulePath;
    MIDASmodule module = MIDASloadModule(name.data());
    ASSERT_NE(module, nullptr) << MIDASgetErrorMessage(MIDASgetLastError());
    const MIDASmodulePlayHandle play = MIDASplayModule(module, TRUE);
    ASSERT_NE(play, 0u);
    ASSERT_TRUE(MIDASsetMusicSyncCallback(play, CountSync));
    EXPECT_TRUE(clock.playUntil(10)) << "the music clock does not run";

    ASSERT_TRUE(MIDASsuspend());
    // The rows of the ramp down into the pause are played, and counted: an output with a thread
    // of its own has rendered them when MIDASsuspend returns, one on the main thread renders
    // them next.
    if (clock.renderRamp) {
        clock.renderRamp();
    }
    const unsigned held = syncs.load();
    clock.pass();
    EXPECT_EQ(syncs.load(), held) << "callbacks arrived while suspended";
    ASSERT_TRUE(MIDASresume());
    EXPECT_TRUE(clock.playUntil(held + 10)) << "the clock did not run on after resuming";

    EXPECT_TRUE(MIDASsetMusicSyncCallback(play, nullptr));
    EXPECT_TRUE(MIDASstopModule(play));
    const unsigned stopped = syncs.load();
    EXPECT_TRUE(MIDASfreeModule(module));
    EXPECT_TRUE(MIDASstopBackgroundPlay());
    EXPECT_TRUE(MIDASclose());
    if (clock.afterClose) {
        clock.afterClose();
    }
    clock.pass();
    EXPECT_EQ(syncs.load(), stopped) << "callbacks after the stop";
}

std::string WalkRefusals(const char* missingModule) {
    EXPECT_TRUE(MIDASstartup());
    EXPECT_TRUE(MIDASinit()) << MIDASgetErrorMessage(MIDASgetLastError());
    std::string name = missingModule;
    EXPECT_EQ(MIDASloadModule(name.data()), nullptr);
    const std::string text = MIDASgetErrorMessage(MIDASgetLastError());
    EXPECT_NE(text.find(std::string("'") + missingModule + "'"), std::string::npos) << text;
    EXPECT_EQ(MIDASplayModule(nullptr, TRUE), 0u);
    EXPECT_FALSE(MIDASstopModule(12345));
    EXPECT_FALSE(MIDASsuspend()) << "suspended with no background play";
    EXPECT_TRUE(MIDASclose());
    return text;
}

WalkClock RealTimeClock(int passMs) {
    WalkClock clock;
    clock.playUntil = [](unsigned count) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (syncs.load() < count) {
            if (std::chrono::steady_clock::now() > deadline) {
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return true;
    };
    clock.pass = [passMs] { std::this_thread::sleep_for(std::chrono::milliseconds(passMs)); };
    return clock;
}

} // namespace soundtest
