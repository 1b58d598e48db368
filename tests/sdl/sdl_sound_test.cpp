// The SDL backend's sound output on SDL's dummy audio driver and on the silent timer: the module
// plays in the background, sync callbacks arrive from the playback thread, and suspend stops them.
// On SDL's disk driver, what the device was given: suspending and stopping ramp the sound down.
#include "midas_walk.h"
#include "sdl_backend.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

void InstallSdlSound() {
    platform::Backend backend;
    backend.midas = sdl::SdlSound();
    platform::InstallBackend(backend);
}

void PlayAndSuspend(const char* audioDriver, int suspendedMs = 300) {
    setenv("SDL_AUDIODRIVER", audioDriver, 1);
    InstallSdlSound();
    const std::string path =
        soundtest::WriteFastSong("zarvo_sdl_" + std::to_string(getpid()) + ".xm");
    soundtest::WalkPlayAndSuspend(path, soundtest::RealTimeClock(suspendedMs));
    std::remove(path.c_str());
}

TEST(SdlSound, PlaysOnTheAudioDeviceAndSuspendsTogetherWithItsCallbacks) {
    PlayAndSuspend("dummy");
}

TEST(SdlSound, WithoutAnAudioDeviceTheTimerKeepsTheClockRunning) {
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

TEST(SdlSound, SuspendingAndStoppingRampTheDevicesSoundDownAndResumingRampsItUp) {
    const std::string raw =
        ::testing::TempDir() + "zarvo_sdl_out_" + std::to_string(getpid()) + ".raw";
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

TEST(SdlSound, AMissingModuleFailsWithATextNamingTheFile) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    InstallSdlSound();
    const std::string text = soundtest::WalkRefusals("no-such-dir/Zarvo.xm");
    EXPECT_EQ(text.rfind("Unable to open file 'no-such-dir/Zarvo.xm'", 0), 0u) << text;
}

} // namespace
