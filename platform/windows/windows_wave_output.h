// Sound output of the Windows backend: the waveOut device, or a timer that keeps the same pace
// with the sound thrown away (no device, or the user chose no sound).
//
//   OpenSoundOutput   opens the waveOut device `device` (its number as text; empty: the wave
//                     mapper, the system's default) (48 kHz, 16-bit stereo, kBuffers buffers of
//                     kBufferFrames) when wantDevice, else or when that fails the timer; starts
//                     paused. `note` gets a reason when a device was wanted but could not be had.
//   SetSoundPaused    pauses or resumes; once it returns, the render function is not running and
//                     will not run until resumed (pausing) / runs again (resuming)
//   SoundLatency      the frames queued in the device ahead of the buffer being rendered (0 on
//                     the timer); asked on the playback thread, inside the render function
//   AbandonSoundDevice  stops feeding a device that takes no sound, without calling it again
//                     (a hung driver may never return): the thread renders on the timer from
//                     now on; the device is closed with the output. Returns the reason.
//   CloseSoundOutput  stops everything; safe to call when nothing is open
// The render function is called on the playback thread with a buffer to fill completely.
#ifndef ZARVO_PLATFORM_WINDOWS_WINDOWS_WAVE_OUTPUT_H
#define ZARVO_PLATFORM_WINDOWS_WINDOWS_WAVE_OUTPUT_H

#include <cstddef>
#include <cstdint>
#include <string>

namespace windows {

constexpr int kSampleRate = 48000;
constexpr int kBufferFrames = 1024; // 21.3 ms at 48 kHz
constexpr int kBuffers = 4;         // queued in the device: what a rendered frame waits to be heard

using RenderFunction = void (*)(std::int16_t* interleavedStereo, std::size_t frames);

bool OpenSoundOutput(bool wantDevice, const std::string& device, RenderFunction render,
                     std::string& note);
void SetSoundPaused(bool paused);
std::size_t SoundLatency();
std::string AbandonSoundDevice();
void CloseSoundOutput();
bool SoundOutputIsOpen();
bool SoundOutputUsesDevice();

} // namespace windows

#endif
