// The Windows MIDAS layer under the real waveOut and on the silent timer: the module plays in the
// background, sync callbacks arrive from the playback thread, suspend stops them, and the clock
// runs at the pace of real time without a device.
//
// ZARVO_EXPECT_SOUND_DEVICE=1 in the environment says that the machine has a waveOut device, so
// the device road must be the one taken (the Wine test gives Wine a sound server of its own).
#include "midas_walk.h"
#include "windows_backend.h"
#include "windows_wave_output.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

bool DeviceExpected() {
    const char* expect = std::getenv("ZARVO_EXPECT_SOUND_DEVICE");
    return expect != nullptr && std::strcmp(expect, "1") == 0;
}

TEST(WindowsSound, PlaysThroughWaveOutAndSuspendsTogetherWithItsCallbacks) {
    platform::Backend backend;
    backend.midas = windows::WindowsSound();
    platform::InstallBackend(backend);
    const std::string path = soundtest::WriteFastSong("zarvo_windows_sound.xm");
    soundtest::WalkClock clock = soundtest::RealTimeClock(300);
    clock.afterInit = [] {
        if (DeviceExpected()) {
            EXPECT_TRUE(windows::SoundOutputUsesDevice()) << "no waveOut device was opened";
        }
    };
    clock.afterClose = [] { EXPECT_FALSE(windows::SoundOutputIsOpen()); };
    soundtest::WalkPlayAndSuspend(path, clock);
    std::remove(path.c_str());
}

std::atomic<long long> timerFrames{0};

void CountFrames(std::int16_t* out, std::size_t frames) {
    std::memset(out, 0, frames * 2 * sizeof(std::int16_t));
    timerFrames.fetch_add(static_cast<long long>(frames));
}

TEST(WindowsSound, WithoutADeviceTheTimerRendersAtThePaceOfRealTime) {
    std::string note;
    ASSERT_TRUE(windows::OpenSoundOutput(false, "", CountFrames, note));
    EXPECT_FALSE(windows::SoundOutputUsesDevice());
    EXPECT_TRUE(note.empty()) << note;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(timerFrames.load(), 0) << "rendered before the first resume";

    const auto start = Clock::now();
    windows::SetSoundPaused(false);
    std::this_thread::sleep_for(std::chrono::milliseconds(1000));
    windows::SetSoundPaused(true);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    const long long rendered = timerFrames.load();
    // Loose bounds: a busy machine may lag, but the clock neither stands nor races.
    EXPECT_GT(rendered, 0.5 * seconds * windows::kSampleRate);
    EXPECT_LT(rendered, 1.5 * seconds * windows::kSampleRate + windows::kBufferFrames);

    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_EQ(timerFrames.load(), rendered) << "rendered while paused";
    windows::CloseSoundOutput();
    EXPECT_FALSE(windows::SoundOutputIsOpen());
}

TEST(WindowsSound, AMissingModuleFailsWithATextNamingTheFileAndBadHandlesAreRefused) {
    EXPECT_EQ(soundtest::WalkRefusals("no-such-dir\\Zarvo.xm"),
              "Unable to open file 'no-such-dir\\Zarvo.xm': No such file or directory");
}

} // namespace
