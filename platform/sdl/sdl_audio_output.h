// Sound output of the SDL backend: an SDL audio device, or a timer that keeps the same pace
// with the sound thrown away (no device, or the user chose no sound, or the device stalled).
//
//   ListAudioOutputs  the outputs SDL's sound driver offers, the system's default first; none,
//                     with the reason in plain words, when nothing could play (no sound system,
//                     no output, or no answer within kOpenLimitMs). The device is not opened.
//   OpenAudioOutput   opens the device named as listed (empty: the default; 48 kHz, 16-bit
//                     stereo, kBufferFrames a buffer) when wantDevice, else or when that fails the
//                     timer; starts paused. `note` gets a reason when a device was wanted but could
//                     not be had (also when opening it did not return within kOpenLimitMs: it is
//                     left to itself).
//   SetAudioPaused    pauses or resumes; once it returns, the render function is not running
//                     and will not run until resumed (pausing) / runs again (resuming)
//   AudioLatency      the frames the device holds ahead of the buffer being rendered (0 on the
//                     timer)
//   AbandonAudioDevice  lets go of a device that takes no sound, without a call that could wait
//                     for it: its callbacks render nothing from now on, and the timer takes over;
//                     returns the reason to tell the user
//   CloseAudioOutput  stops everything; safe to call when nothing is open. A device is closed on a
//                     thread of its own (SDL waits there for its audio thread, which may be stuck
//                     in a write for good), given kCloseLimitMs, and otherwise left to itself;
//                     SDL's sound is then not touched again.
// The render function is called on the playback thread with a buffer to fill completely.
#ifndef ZARVO_PLATFORM_SDL_SDL_AUDIO_OUTPUT_H
#define ZARVO_PLATFORM_SDL_SDL_AUDIO_OUTPUT_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace sdl {

constexpr int kSampleRate = 48000;
// 60 ms: enough to ride out a busy desktop's scheduling without a gap. The sync calls wait for
// what the device holds, so the picture stays with the sound.
constexpr int kBufferFrames = 2880;
constexpr int kTimerFrames = 512; // 10.7 ms: the silent timer's step, the pace of its sync calls
constexpr int kOpenLimitMs = 2000;
constexpr int kCloseLimitMs = 300;

using RenderFunction = void (*)(std::int16_t* interleavedStereo, std::size_t frames);

struct AudioOutputs {
    std::vector<std::string> names; // the default first, where the driver says which it is
    bool firstIsDefault = false;    // else the default may be any of them, or none
    std::string reason;             // when there is none
};

AudioOutputs ListAudioOutputs();
bool OpenAudioOutput(bool wantDevice, const std::string& device, RenderFunction render,
                     std::string& note);
void SetAudioPaused(bool paused);
std::size_t AudioLatency();
std::string AbandonAudioDevice();
void CloseAudioOutput();
// True once a device's open or close did not return in time: it is still inside SDL, maybe for
// good, and may hold what the process's exit would wait for (a stream to flush).
bool AudioOutputLeft();

// For tests and measurements: the device's buffer in frames from the next open on (0: the
// default, kBufferFrames).
void SetAudioBufferFrames(int frames);

} // namespace sdl

#endif
