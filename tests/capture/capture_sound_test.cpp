// The capture's sound output: the shared sound library rendered on the main thread, one frame's
// span at each presentation, so that the sync count moves only as frames are presented, the
// sound runs on exactly, and a suspension is silence on a clock that never stops.
#include "capture_backend.h"
#include "capture_music.h"
#include "midas_walk.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using capture::FrameRate;

void InstallCaptureSound(const FrameRate& fps, int sampleRate) {
    platform::Backend backend;
    backend.midas = capture::CaptureSound(fps, sampleRate);
    platform::InstallBackend(backend);
}

// What the presented frames held: their sound one after the other, each one's span, and the
// sync count each was drawn at.
struct Presented {
    std::vector<std::int16_t> sound;
    std::vector<std::size_t> spans;
    std::vector<unsigned> counts;

    bool Silent(std::size_t frame) const {
        std::size_t begin = 0;
        for (std::size_t i = 0; i < frame; ++i) {
            begin += spans[i] * 2;
        }
        return std::all_of(sound.begin() + static_cast<std::ptrdiff_t>(begin),
                           sound.begin() + static_cast<std::ptrdiff_t>(begin + spans[frame] * 2),
                           [](std::int16_t sample) { return sample == 0; });
    }
};

class CaptureSound : public ::testing::Test {
  protected:
    void SetUp() override {
        song_ = soundtest::WriteFastSong("zarvo_capture_" + std::to_string(getpid()) + ".xm");
    }
    void TearDown() override {
        std::remove(song_.c_str());
    }

    // What the capture does at each copy to the screen, once the frame has read the clock.
    void Present() {
        seen_.counts.push_back(soundtest::SyncsCounted());
        const std::size_t span = capture::RenderFrameSound(frame_++, buffer_);
        ASSERT_EQ(buffer_.size(), span * 2);
        seen_.spans.push_back(span);
        seen_.sound.insert(seen_.sound.end(), buffer_.begin(), buffer_.end());
    }

    // Time passes for the walk only as frames are presented.
    soundtest::WalkClock FrameClock(int passFrames) {
        soundtest::WalkClock clock;
        clock.playUntil = [this](unsigned count) {
            for (int i = 0; i < 600 && soundtest::SyncsCounted() < count; ++i) {
                Present();
            }
            return soundtest::SyncsCounted() >= count;
        };
        clock.pass = [this, passFrames] {
            for (int i = 0; i < passFrames; ++i) {
                Present();
            }
        };
        clock.renderRamp = [this] {
            suspendedAt_ = frame_;
            Present();
        };
        return clock;
    }

    // The intro's road into the music, then `frames` frames at `fps`, then its road out.
    void PlayFor(const FrameRate& fps, int frames) {
        InstallCaptureSound(fps, 48000);
        soundtest::ResetSyncsCounted();
        ASSERT_TRUE(MIDASstartup());
        ASSERT_TRUE(MIDASconfig()) << "the capture asks nothing";
        ASSERT_TRUE(MIDASinit());
        ASSERT_TRUE(MIDASstartBackgroundPlay(0));
        std::string name = song_;
        MIDASmodule module = MIDASloadModule(name.data());
        ASSERT_NE(module, nullptr);
        const MIDASmodulePlayHandle play = MIDASplayModule(module, TRUE);
        ASSERT_TRUE(MIDASsetMusicSyncCallback(play, soundtest::CountSync));
        for (int i = 0; i < frames; ++i) {
            Present();
        }
        EXPECT_TRUE(MIDASsetMusicSyncCallback(play, nullptr));
        EXPECT_TRUE(MIDASstopModule(play));
        EXPECT_TRUE(MIDASfreeModule(module));
        EXPECT_TRUE(MIDASstopBackgroundPlay());
        EXPECT_TRUE(MIDASclose());
    }

    std::string song_;
    std::int64_t frame_ = 0;
    std::int64_t suspendedAt_ = -1;
    std::vector<std::int16_t> buffer_;
    Presented seen_;
};

TEST_F(CaptureSound, TheWalkRunsOnPresentedFramesAndASuspensionIsSilenceOnARunningClock) {
    constexpr int kPassFrames = 10;
    InstallCaptureSound(FrameRate{30000, 1001}, 48000);
    soundtest::WalkPlayAndSuspend(song_, FrameClock(kPassFrames));
    ASSERT_GE(suspendedAt_, 0);
    const auto suspended = static_cast<std::size_t>(suspendedAt_);
    ASSERT_GT(seen_.spans.size(), suspended + kPassFrames + 1);

    // 29.97 frames a second at 48 kHz: 1601.6 samples a frame, so spans of 1601 and 1602 that
    // add up to the show's time exactly, 5 frames (1/6 s and 1/6000 s) to 8008 samples.
    std::size_t firstFive = 0;
    for (std::size_t i = 0; i < seen_.spans.size(); ++i) {
        EXPECT_TRUE(seen_.spans[i] == 1601 || seen_.spans[i] == 1602) << i;
        firstFive += i < 5 ? seen_.spans[i] : 0;
    }
    EXPECT_EQ(firstFive, 8008u);

    // The frame after MIDASsuspend ramps down into silence, which the frames of the suspension
    // hold; after the resume the music comes back, and after the close there is silence.
    EXPECT_FALSE(seen_.Silent(suspended));
    for (std::size_t i = suspended + 1; i <= suspended + kPassFrames; ++i) {
        EXPECT_TRUE(seen_.Silent(i)) << "frame " << i << " of the suspension";
    }
    EXPECT_FALSE(seen_.Silent(suspended + kPassFrames + 1)) << "resumed";
    const std::size_t last = seen_.spans.size() - 1;
    for (std::size_t i = last + 1 - kPassFrames; i <= last; ++i) {
        EXPECT_TRUE(seen_.Silent(i)) << "frame " << i << " after the close";
    }
}

// One second of show is one second of music, however many frames it is cut into: the sound is
// the same, and so is the count the frames at each second are drawn at.
TEST_F(CaptureSound, TheSoundAndTheCountFollowShowTimeAtAnyFrameRate) {
    PlayFor(FrameRate{60, 1}, 180);
    const Presented fast = seen_;
    seen_ = Presented{};
    frame_ = 0;
    PlayFor(FrameRate{7, 1}, 21);
    const Presented slow = seen_;

    ASSERT_EQ(fast.sound.size(), 3u * 48000 * 2);
    ASSERT_EQ(slow.sound.size(), fast.sound.size());
    // libopenmpt's rounding may differ by one step where its pieces are cut elsewhere; a gap or
    // an overlap between spans would shift the square wave by whole samples.
    int largest = 0;
    for (std::size_t i = 0; i < fast.sound.size(); ++i) {
        largest = std::max(largest, std::abs(fast.sound[i] - slow.sound[i]));
    }
    EXPECT_LE(largest, 1) << "the frames' spans leave a gap or overlap";
    EXPECT_EQ(fast.counts.front(), 0u);
    for (int second = 1; second < 3; ++second) {
        const int a = static_cast<int>(fast.counts[static_cast<std::size_t>(second * 60)]);
        const int b = static_cast<int>(slow.counts[static_cast<std::size_t>(second * 7)]);
        // About a hundred rows a second, each with its W; the row starts are seen in steps of a
        // few milliseconds of sound.
        EXPECT_NEAR(a, 102 * second, 2) << "at " << second << " s";
        EXPECT_LE(std::abs(a - b), 1) << "at " << second << " s";
    }
}

} // namespace
