// The Windows MIDAS layer under the real waveOut and on the silent timer: the module plays in the
// background, sync callbacks arrive from the playback thread, suspend stops them, and the clock
// runs at the pace of real time without a device.
//
// ZARVO_EXPECT_SOUND_DEVICE=1 in the environment says that the machine has a waveOut device, so
// the device road must be the one taken (the Wine test sets one up that writes to a file).
#include "wave_output.h"
#include "xm_writer.h"

#include <midasdll.h>

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

std::atomic<unsigned> syncs{0};

void MIDAS_CALL CountSync(unsigned, unsigned, unsigned) {
    syncs.fetch_add(1, std::memory_order_relaxed);
}

// Waits (up to 10 s) until the count has passed `target`; false when it never does.
bool WaitForSyncs(unsigned target) {
    const auto deadline = Clock::now() + std::chrono::seconds(10);
    while (syncs.load() < target) {
        if (Clock::now() > deadline) {
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
    const std::string path = ::testing::TempDir() + "zarvo_windows_sound.xm";
    EXPECT_TRUE(xmtest::WriteXm(song, path));
    return path;
}

bool DeviceExpected() {
    const char* expect = std::getenv("ZARVO_EXPECT_SOUND_DEVICE");
    return expect != nullptr && std::strcmp(expect, "1") == 0;
}

TEST(WindowsSound, PlaysThroughWaveOutAndSuspendsTogetherWithItsCallbacks) {
    const std::string path = FastSongFile();
    syncs = 0;
    ASSERT_TRUE(MIDASstartup());
    ASSERT_TRUE(MIDASinit());
    if (DeviceExpected()) {
        EXPECT_TRUE(winsound::SoundOutputUsesDevice()) << "no waveOut device was opened";
    }
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
    EXPECT_FALSE(winsound::SoundOutputIsOpen());
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(syncs.load(), stopped);
    std::remove(path.c_str());
}

std::atomic<long long> timerFrames{0};

void CountFrames(std::int16_t* out, std::size_t frames) {
    std::memset(out, 0, frames * 2 * sizeof(std::int16_t));
    timerFrames.fetch_add(static_cast<long long>(frames));
}

TEST(WindowsSound, WithoutADeviceTheTimerRendersAtThePaceOfRealTime) {
    std::string note;
    ASSERT_TRUE(winsound::OpenSoundOutput(false, CountFrames, note));
    EXPECT_FALSE(winsound::SoundOutputUsesDevice());
    EXPECT_TRUE(note.empty()) << note;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(timerFrames.load(), 0) << "rendered before the first resume";

    const auto start = Clock::now();
    winsound::SetSoundPaused(false);
    std::this_thread::sleep_for(std::chrono::milliseconds(1000));
    winsound::SetSoundPaused(true);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    const long long rendered = timerFrames.load();
    // Loose bounds: a busy machine may lag, but the clock neither stands nor races.
    EXPECT_GT(rendered, 0.5 * seconds * winsound::kSampleRate);
    EXPECT_LT(rendered, 1.5 * seconds * winsound::kSampleRate + winsound::kBufferFrames);

    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_EQ(timerFrames.load(), rendered) << "rendered while paused";
    winsound::CloseSoundOutput();
    EXPECT_FALSE(winsound::SoundOutputIsOpen());
}

TEST(WindowsSound, AMissingModuleFailsWithATextNamingTheFileAndBadHandlesAreRefused) {
    ASSERT_TRUE(MIDASstartup());
    ASSERT_TRUE(MIDASinit());
    char name[] = "no-such-dir\\Zarvo.xm";
    EXPECT_EQ(MIDASloadModule(name), nullptr);
    const std::string text = MIDASgetErrorMessage(MIDASgetLastError());
    EXPECT_EQ(text, "Unable to open file 'no-such-dir\\Zarvo.xm': No such file or directory");
    EXPECT_EQ(MIDASplayModule(nullptr, TRUE), 0u);
    EXPECT_FALSE(MIDASstopModule(12345));
    EXPECT_FALSE(MIDASsuspend()) << "suspended with no background play";
    EXPECT_TRUE(MIDASclose());
}

} // namespace
