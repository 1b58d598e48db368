// Level ramps for 16-bit stereo sound, so that sound is never cut or started at full level.
//
// Cutting sound that is not at zero leaves a step in the waveform, which is heard as a click;
// the players take the level down to zero over kRampSeconds instead when they stop or pause,
// and back up when they resume.
//   RampFrames  the frames a whole ramp (level 1 to 0) lasts at a sample rate; at least 1
//   GainRamp    a level between 0 and 1 that moves linearly towards its target by one ramp
//               step per frame while Apply scales interleaved stereo frames by it; the last
//               frame of a ramp down is already 0
//   FadeOutEnd  scales the last RampFrames frames of a buffer (all of it when shorter) down to
//               zero, ending at 0 on its last frame: for sound whose end is already decided
#ifndef ZARVO_PLATFORM_COMMON_SOUND_RAMP_H
#define ZARVO_PLATFORM_COMMON_SOUND_RAMP_H

#include <cstddef>
#include <cstdint>

namespace platform {

constexpr double kRampSeconds = 0.005;

std::size_t RampFrames(int sampleRate);

class GainRamp {
  public:
    // Jumps to a level at once (for a start from silence or at full level).
    void Set(double level);
    void MoveTo(double target);
    double Level() const {
        return level_;
    }
    double Target() const {
        return target_;
    }
    bool Settled() const {
        return level_ == target_;
    }
    // Frames Apply takes at this rate until the level has reached its target.
    std::size_t FramesToTarget(int sampleRate) const;
    void Apply(std::int16_t* interleavedStereo, std::size_t frames, int sampleRate);

  private:
    double level_ = 1.0;
    double target_ = 1.0;
};

void FadeOutEnd(std::int16_t* interleavedStereo, std::size_t frames, int sampleRate);

} // namespace platform

#endif
