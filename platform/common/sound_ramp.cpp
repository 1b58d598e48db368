// Level ramps: the linear gain that takes sound down to zero, or back up, over a few ms.
#include "sound_ramp.h"

#include <algorithm>
#include <cmath>

namespace platform {

std::size_t RampFrames(int sampleRate) {
    const double frames = std::round(kRampSeconds * std::max(sampleRate, 1));
    return std::max<std::size_t>(1, static_cast<std::size_t>(frames));
}

static std::int16_t Scale(std::int16_t sample, double level) {
    // |sample * level| never exceeds |sample|, so the result stays in range.
    return static_cast<std::int16_t>(std::lround(sample * level));
}

void GainRamp::Set(double level) {
    level_ = target_ = std::clamp(level, 0.0, 1.0);
}

void GainRamp::MoveTo(double target) {
    target_ = std::clamp(target, 0.0, 1.0);
}

std::size_t GainRamp::FramesToTarget(int sampleRate) const {
    // Apply moves one step a frame and snaps within half a step of the target.
    const double steps = std::fabs(target_ - level_) * static_cast<double>(RampFrames(sampleRate));
    return static_cast<std::size_t>(std::max(0.0, std::ceil(steps - 0.5)));
}

void GainRamp::Apply(std::int16_t* out, std::size_t frames, int sampleRate) {
    if (Settled() && level_ == 1.0) {
        return;
    }
    const double step = 1.0 / static_cast<double>(RampFrames(sampleRate));
    for (std::size_t i = 0; i < frames; ++i) {
        if (level_ != target_) {
            level_ = level_ < target_ ? std::min(target_, level_ + step)
                                      : std::max(target_, level_ - step);
            // Within half a step counts as there, so rounding never leaves a ramp a frame short.
            if (std::fabs(level_ - target_) < step / 2) {
                level_ = target_;
            }
        }
        out[2 * i] = Scale(out[2 * i], level_);
        out[2 * i + 1] = Scale(out[2 * i + 1], level_);
    }
}

void FadeOutEnd(std::int16_t* out, std::size_t frames, int sampleRate) {
    const std::size_t ramp = std::min(frames, RampFrames(sampleRate));
    std::int16_t* first = out + 2 * (frames - ramp);
    for (std::size_t i = 0; i < ramp; ++i) {
        const double level = static_cast<double>(ramp - 1 - i) / static_cast<double>(ramp);
        first[2 * i] = Scale(first[2 * i], level);
        first[2 * i + 1] = Scale(first[2 * i + 1], level);
    }
}

} // namespace platform
