// The clock of a sound output as the listener hears it, and the W commands waiting to be heard.
//
// An output renders ahead of the ear by what it holds in its buffers, so a row rendered now is
// heard that much later; the sync calls that drive the picture wait for that moment, or a larger
// buffer would put the picture ahead of the sound. An output that has stopped taking sound (a
// device stuck in a write, a hung sound server) renders nothing at all; after kStallSeconds of
// playing without a rendering it is taken for stuck, so that the show can go on without it.
// The clock only keeps accounts; the sound library's clock thread reads it (midas_playback.cpp).
//
//   Rendered   a rendering of `frames` frames began at `now`, `latency` frames (what the output
//              holds ahead of it) before its first frame is heard; counts as the output's sign of
//              life
//   Queue      a W command met `offset` frames into the rendering under way: it is due when that
//              frame is heard (never before one queued earlier). False when the queue is full:
//              the caller delivers it at once
//   TakeDue    the commands heard by `now`, oldest first, appended to `out`; TakeAll all of them
//   Drop       forgets every waiting command (their callback is gone)
//   NextDue    when the oldest waiting command is due (the far future when none waits)
//   RenderingHeard  when the end of the last rendering is heard (its first frame plus its frames)
//   SetPlaying  the output is meant to render from `now` on (resumed), or not (paused, closed);
//              the stall is counted only while it is meant to render
//   Stalled    true while meant to render with no rendering for kStallSeconds
// Not thread-safe: the caller holds one lock around it.
#ifndef ZARVO_PLATFORM_COMMON_SOUND_CLOCK_H
#define ZARVO_PLATFORM_COMMON_SOUND_CLOCK_H

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace platform {

constexpr double kStallSeconds = 2.0;

struct SyncCall {
    std::chrono::steady_clock::time_point due;
    unsigned syncInfo = 0;
    unsigned order = 0;
    unsigned row = 0;
};

class SoundClock {
  public:
    using Time = std::chrono::steady_clock::time_point;
    static constexpr std::size_t kQueueSize = 1024;

    explicit SoundClock(int sampleRate = 48000);
    void SetRate(int sampleRate);

    void Rendered(Time now, std::size_t frames, std::size_t latency);
    bool Queue(std::size_t offset, unsigned syncInfo, unsigned order, unsigned row);
    void TakeDue(Time now, std::vector<SyncCall>& out);
    void TakeAll(std::vector<SyncCall>& out);
    void Drop();
    bool Empty() const {
        return count_ == 0;
    }
    Time NextDue() const;
    Time RenderingHeard() const;

    void SetPlaying(Time now, bool playing);
    bool Stalled(Time now) const;

  private:
    Time::duration Span(std::size_t frames) const;
    Time FrameHeard(std::size_t offset) const;

    int rate_;
    bool playing_ = false;
    bool rendered_ = false; // a rendering has been seen since the clock was made
    Time lifeSign_{};       // the last rendering, or the moment playing began
    Time renderBegin_{};    // when the last rendering's first frame is heard
    std::size_t renderFrames_ = 0;
    Time lastDue_{};
    std::array<SyncCall, kQueueSize> queue_{};
    std::size_t first_ = 0;
    std::size_t count_ = 0;
};

} // namespace platform

#endif
