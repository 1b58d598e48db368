// The heard clock: when a rendered frame reaches the ear, the W commands waiting for it, and the
// stall of an output that renders no more.
#include "sound_clock.h"

#include <algorithm>

namespace platform {

using Seconds = std::chrono::duration<double>;

SoundClock::SoundClock(int sampleRate) : rate_(std::max(sampleRate, 1)) {}

void SoundClock::SetRate(int sampleRate) {
    rate_ = std::max(sampleRate, 1);
}

SoundClock::Time::duration SoundClock::Span(std::size_t frames) const {
    return std::chrono::duration_cast<Time::duration>(Seconds(static_cast<double>(frames) / rate_));
}

SoundClock::Time SoundClock::FrameHeard(std::size_t offset) const {
    return renderBegin_ + Span(offset);
}

void SoundClock::Rendered(Time now, std::size_t frames, std::size_t latency) {
    rendered_ = true;
    lifeSign_ = now;
    renderFrames_ = frames;
    renderBegin_ = now + Span(latency);
}

bool SoundClock::Queue(std::size_t offset, unsigned syncInfo, unsigned order, unsigned row) {
    if (count_ == kQueueSize) {
        return false;
    }
    SyncCall& call = queue_[(first_ + count_) % kQueueSize];
    // A later rendering heard sooner (its output's buffers ran dry) never overtakes a command
    // that is already waiting: the count only ever goes up in the order rows were played.
    call.due = count_ == 0 ? FrameHeard(offset) : std::max(FrameHeard(offset), lastDue_);
    call.syncInfo = syncInfo;
    call.order = order;
    call.row = row;
    lastDue_ = call.due;
    ++count_;
    return true;
}

void SoundClock::TakeDue(Time now, std::vector<SyncCall>& out) {
    while (count_ > 0 && queue_[first_].due <= now) {
        out.push_back(queue_[first_]);
        first_ = (first_ + 1) % kQueueSize;
        --count_;
    }
}

void SoundClock::TakeAll(std::vector<SyncCall>& out) {
    TakeDue(Time::max(), out);
}

void SoundClock::Drop() {
    first_ = 0;
    count_ = 0;
}

SoundClock::Time SoundClock::NextDue() const {
    return count_ > 0 ? queue_[first_].due : Time::max();
}

SoundClock::Time SoundClock::RenderingHeard() const {
    return rendered_ ? FrameHeard(renderFrames_) : Time{};
}

void SoundClock::SetPlaying(Time now, bool playing) {
    if (playing && !playing_) {
        lifeSign_ = now; // the wait for a rendering starts now
    }
    playing_ = playing;
}

bool SoundClock::Stalled(Time now) const {
    return playing_ &&
           now - lifeSign_ >= std::chrono::duration_cast<Time::duration>(Seconds(kStallSeconds));
}

} // namespace platform
