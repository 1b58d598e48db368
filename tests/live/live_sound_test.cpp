// The live MIDAS layer on SDL's dummy audio driver and on the silent timer: the module plays in
// the background, sync callbacks arrive from the playback thread, and suspend stops them. On
// SDL's disk driver, what the device was given: suspending and stopping ramp the sound down.
#include "xm_writer.h"

#include <midasdll.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

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

void PlayAndSuspend(const char* audioDriver, int suspendedMs = 300) {
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
    std::this_thread::sleep_for(std::chrono::milliseconds(suspendedMs));
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

// The left channel of the 16-bit stereo frames SDL's disk driver wrote.
std::vector<int> ReadLeft(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)),
                                  std::istreambuf_iterator<char>());
    std::vector<int> left;
    for (std::size_t i = 0; i + 4 <= bytes.size(); i += 4) {
        left.push_back(static_cast<std::int16_t>(static_cast<std::uint8_t>(bytes[i]) |
                                                 (static_cast<std::uint8_t>(bytes[i + 1]) << 8)));
    }
    return left;
}

TEST(LiveSound, SuspendingAndStoppingRampTheDevicesSoundDownAndResumingRampsItUp) {
    const std::string raw =
        ::testing::TempDir() + "zarvo_live_out_" + std::to_string(getpid()) + ".raw";
    setenv("SDL_DISKAUDIOFILE", raw.c_str(), 1);
    PlayAndSuspend("disk", 100);
    std::vector<int> out = ReadLeft(raw);
    std::remove(raw.c_str());
    ASSERT_GT(out.size(), 48000u / 4) << "the disk driver wrote too little";

    // Silences of 10 ms or more (the start, the suspension, after the stop) and the sound
    // around them: each end of sound falls along a 5 ms ramp to zero, and each start but the
    // module's first note rises along one.
    int peak = 0;
    for (int sample : out) {
        peak = std::max(peak, std::abs(sample));
    }
    ASSERT_GT(peak, 1000);
    constexpr std::size_t kSilence = 480;
    constexpr std::size_t kRamp = 240;
    out.resize(out.size() + kSilence, 0); // once the device is closed, nothing sounds
    int ends = 0;
    int starts = 0;
    for (std::size_t i = kRamp; i + kSilence < out.size(); ++i) {
        bool silentAfter = out[i] != 0;
        bool silentBefore = out[i] != 0 && i >= kSilence;
        for (std::size_t k = 1; k <= kSilence && (silentAfter || silentBefore); ++k) {
            silentAfter = silentAfter && out[i + k] == 0;
            silentBefore = silentBefore && out[i - k] == 0;
        }
        // Frame k of a ramp (counted from the silence) stays under k / kRamp of the peak.
        for (std::size_t k = 0; k < kRamp && silentAfter; ++k) {
            EXPECT_LE(std::abs(out[i - k]), peak * static_cast<double>(k + 2) / kRamp + 1)
                << "end of sound at frame " << i << ", " << k << " before it";
        }
        for (std::size_t k = 0; k < kRamp && silentBefore && starts > 0; ++k) {
            EXPECT_LE(std::abs(out[i + k]), peak * static_cast<double>(k + 2) / kRamp + 1)
                << "start of sound at frame " << i << ", " << k << " after it";
        }
        ends += silentAfter ? 1 : 0;
        starts += silentBefore ? 1 : 0;
    }
    EXPECT_GE(ends, 2) << "suspended and stopped";
    EXPECT_GE(starts, 2) << "started and resumed";
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
