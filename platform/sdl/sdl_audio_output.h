// Sound output of the SDL backend: an SDL audio device, or a timer that keeps the same pace
// with the sound thrown away (no device, or the user chose no sound).
//
//   OpenAudioOutput   opens the device (48 kHz, 16-bit stereo, a buffer of at most 25 ms) when
//                     wantDevice, else or when that fails the timer; starts paused. `note` gets a
//                     reason when a device was wanted but could not be had.
//   SetAudioPaused    pauses or resumes; once it returns, the render function is not running
//                     and will not run until resumed (pausing) / runs again (resuming)
//   CloseAudioOutput  stops everything; safe to call when nothing is open
// The render function is called on the playback thread with a buffer to fill completely.
#ifndef ZARVO_PLATFORM_SDL_SDL_AUDIO_OUTPUT_H
#define ZARVO_PLATFORM_SDL_SDL_AUDIO_OUTPUT_H

#include <cstddef>
#include <cstdint>
#include <string>

namespace sdl {

constexpr int kSampleRate = 48000;
constexpr int kBufferFrames = 512; // 10.7 ms at 48 kHz

using RenderFunction = void (*)(std::int16_t* interleavedStereo, std::size_t frames);

bool OpenAudioOutput(bool wantDevice, RenderFunction render, std::string& note);
void SetAudioPaused(bool paused);
void CloseAudioOutput();

} // namespace sdl

#endif
