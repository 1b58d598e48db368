// The SDL backend's sound output on SDL's dummy audio driver and on the silent timer: the module
// plays in the background, sync callbacks arrive from the playback thread when their row is heard,
// and suspend stops them. On SDL's disk driver, what the device was given: suspending and stopping
// ramp the sound down; and a device stuck in a write is given up while the clock runs on.
#include "midas_playback.h"
#include "midas_walk.h"
#include "sdl_audio_output.h"
#include "sdl_backend.h"
#include "xm_writer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <mutex>
#include <string>
#include <sys/stat.h>
#include <thread>
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

using Clock = std::chrono::steady_clock;

// Each rendering of the library's output, seen from around it: when it began, how much of the
// module had been rendered before it, and how much of the module it held.
struct Rendering {
    Clock::time_point at;
    std::int64_t musicBefore = 0;
    std::size_t frames = 0;
};

struct Observed {
    std::mutex lock;
    std::vector<Rendering> renderings;
    std::vector<std::pair<Clock::time_point, unsigned>> calls; // when, and the row's W value
    platform::RenderFunction render = nullptr;
};

Observed observed;

void ObservedRender(std::int16_t* out, std::size_t frames) {
    Rendering rendering{Clock::now(), platform::PlayingMusic().frames, 0};
    observed.render(out, frames);
    rendering.frames =
        static_cast<std::size_t>(platform::PlayingMusic().frames - rendering.musicBefore);
    std::lock_guard<std::mutex> guard(observed.lock);
    observed.renderings.push_back(rendering);
}

bool OpenObserved(bool wantDevice, const std::string& device, platform::RenderFunction render,
                  std::string& note) {
    observed.render = render;
    return sdl::OpenAudioOutput(wantDevice, device, ObservedRender, note);
}

void MIDAS_CALL NoteCall(unsigned syncInfo, unsigned, unsigned) {
    std::lock_guard<std::mutex> guard(observed.lock);
    observed.calls.emplace_back(Clock::now(), syncInfo);
}

TEST(SdlSound, EverySyncCallIsMadeWhenItsRowIsHeardNotWhenItIsRendered) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    platform::SoundOutput output;
    output.open = OpenObserved;
    output.pause = sdl::SetAudioPaused;
    output.close = sdl::CloseAudioOutput;
    output.latency = sdl::AudioLatency;
    output.sampleRate = sdl::kSampleRate;
    platform::Backend backend;
    backend.midas = output;
    platform::InstallBackend(backend);
    // 256 rows of one tick (480 frames) each, every one with a W command naming its row.
    xmtest::Song song;
    song.speed = 1;
    song.bpm = 250;
    std::vector<int> rows(256);
    for (int row = 0; row < 256; ++row) {
        rows[static_cast<std::size_t>(row)] = row;
    }
    song.patterns.push_back(xmtest::PatternWithSyncs(256, rows));
    std::string path = ::testing::TempDir() + "zarvo_rows_" + std::to_string(getpid()) + ".xm";
    ASSERT_TRUE(xmtest::WriteXm(song, path));

    ASSERT_TRUE(MIDASstartup());
    ASSERT_TRUE(MIDASinit());
    const std::size_t latency = sdl::AudioLatency();
    ASSERT_GE(latency, static_cast<std::size_t>(sdl::kBufferFrames) / 2)
        << "the device holds a buffer ahead of what is rendered";
    ASSERT_TRUE(MIDASstartBackgroundPlay(0));
    MIDASmodule module = MIDASloadModule(path.data());
    ASSERT_NE(module, nullptr);
    const MIDASmodulePlayHandle play = MIDASplayModule(module, TRUE);
    ASSERT_TRUE(MIDASsetMusicSyncCallback(play, NoteCall));
    std::this_thread::sleep_for(std::chrono::milliseconds(1500)); // within the song's 2.56 s
    ASSERT_TRUE(MIDASsetMusicSyncCallback(play, nullptr));
    ASSERT_TRUE(MIDASstopModule(play));
    ASSERT_TRUE(MIDASfreeModule(module));
    ASSERT_TRUE(MIDASstopBackgroundPlay());
    ASSERT_TRUE(MIDASclose());
    std::remove(path.c_str());

    // Row r begins r ticks into the song; it is heard once the rendering that holds it was begun
    // and the device has played what it held before it.
    constexpr double kRowFrames = sdl::kSampleRate * 2.5 / 250;
    std::lock_guard<std::mutex> guard(observed.lock);
    ASSERT_GE(observed.calls.size(), 60u);
    std::size_t checked = 0;
    for (const auto& [at, row] : observed.calls) {
        const auto frame = static_cast<std::int64_t>(row * kRowFrames);

        for (const Rendering& rendering : observed.renderings) {
            const std::int64_t into = frame - rendering.musicBefore;
            if (into < 0 || into >= static_cast<std::int64_t>(rendering.frames)) {
                continue;
            }
            const auto heard = rendering.at + std::chrono::microseconds(
                                                  (into + static_cast<std::int64_t>(latency)) *
                                                  1000000 / sdl::kSampleRate);
            const double lateMs = std::chrono::duration<double, std::milli>(at - heard).count();
            EXPECT_GE(lateMs, -3.0) << "row " << row << " was called before it was heard";
            EXPECT_LE(lateMs, 500.0) << "row " << row << " was called long after it was heard";
            ++checked;
        }
    }
    EXPECT_EQ(checked, observed.calls.size()) << "calls of rows that were never rendered";
}

TEST(SdlSound, ADeviceThatTakesNoSoundIsGivenUpAndTheClockRunsOnSilently) {
    // SDL's disk driver writes into a pipe that is held open and never read: once the pipe is
    // full, its audio thread waits in write() for good.
    const std::string fifo =
        ::testing::TempDir() + "zarvo_stuck_" + std::to_string(getpid()) + ".fifo";
    std::remove(fifo.c_str());
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const int held = open(fifo.c_str(), O_RDWR);
    ASSERT_GE(held, 0);
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", fifo.c_str(), 1);
    InstallSdlSound();
    const std::string path =
        soundtest::WriteFastSong("zarvo_stuck_" + std::to_string(getpid()) + ".xm");
    // Standard error into a file (gtest's capture would flush every stream, the stuck one too).
    const std::string errorsPath =
        ::testing::TempDir() + "zarvo_stuck_" + std::to_string(getpid()) + ".err";
    std::fflush(stderr);
    const int savedError = dup(STDERR_FILENO);
    const int errorsFile = open(errorsPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ASSERT_GE(errorsFile, 0);
    dup2(errorsFile, STDERR_FILENO);
    close(errorsFile);

    soundtest::ResetSyncsCounted();
    ASSERT_TRUE(MIDASstartup());
    ASSERT_TRUE(MIDASinit());
    ASSERT_GT(sdl::AudioLatency(), 0u) << "the disk device did not open";
    ASSERT_TRUE(MIDASstartBackgroundPlay(0));
    std::string name = path;
    MIDASmodule module = MIDASloadModule(name.data());
    ASSERT_NE(module, nullptr);
    const MIDASmodulePlayHandle play = MIDASplayModule(module, TRUE);
    ASSERT_TRUE(MIDASsetMusicSyncCallback(play, soundtest::CountSync));
    const soundtest::WalkClock clock = soundtest::RealTimeClock(0);
    // About a hundred calls a second: the pipe holds a third of a second, then the clock stands
    // still for two seconds, and then runs on without the device.
    EXPECT_TRUE(clock.playUntil(10));
    EXPECT_TRUE(clock.playUntil(soundtest::SyncsCounted() + 300)) << "the clock stopped";
    EXPECT_EQ(sdl::AudioLatency(), 0u) << "the device is still in use";
    EXPECT_TRUE(MIDASsuspend());
    const unsigned held_count = soundtest::SyncsCounted();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(soundtest::SyncsCounted(), held_count) << "calls while suspended";
    EXPECT_TRUE(MIDASresume());
    EXPECT_TRUE(clock.playUntil(held_count + 10));

    EXPECT_TRUE(MIDASsetMusicSyncCallback(play, nullptr));
    EXPECT_TRUE(MIDASstopModule(play));
    EXPECT_TRUE(MIDASfreeModule(module));
    EXPECT_TRUE(MIDASstopBackgroundPlay());
    EXPECT_TRUE(MIDASclose());
    std::fflush(stderr);
    dup2(savedError, STDERR_FILENO);
    close(savedError);
    std::ifstream errorsIn(errorsPath);
    const std::string errors((std::istreambuf_iterator<char>(errorsIn)),
                             std::istreambuf_iterator<char>());
    std::remove(errorsPath.c_str());
    EXPECT_TRUE(sdl::AudioOutputLeft()) << "closing waited for the stuck device";

    std::size_t lines = 0;
    for (std::size_t at = errors.find("zarvo: "); at != std::string::npos;
         at = errors.find("zarvo: ", at + 1)) {
        ++lines;
    }
    EXPECT_EQ(lines, 1u) << errors;
    EXPECT_NE(errors.find("zarvo: the sound output (disk) has taken no sound for 2 s; the music "
                          "plays silently.\n"),
              std::string::npos)
        << errors;

    // The pipe is read from now on, so that the device's thread and the process's exit (which
    // flushes the driver's stream) can finish.
    std::thread([held] {
        char buffer[65536];
        while (read(held, buffer, sizeof buffer) > 0) {
        }
    }).detach();
    std::remove(fifo.c_str());
    std::remove(path.c_str());
}

} // namespace
