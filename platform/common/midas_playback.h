// The sound library's functions for the backends that play in real time (live and Windows), and
// the few things each of them supplies: the configuration question and the sound output.
//
// midas_playback.cpp holds the MIDAS functions themselves over the shared module player; the
// backend (chosen at link time, as the rest of the platform is) defines the functions below.
//   ChooseSoundOutput     MIDASconfig's question (a dialog, or a setting made before), after
//                         whatever the backend prepares first
//   OpenSoundOutput       opens the device at kPlaybackRate, 16-bit stereo, calling `render` from
//                         its own thread; without a device (not wanted, or none to be had: `note`
//                         says why) a timer renders at the same pace and the sound is thrown away
//   PauseSoundOutput      once it returns, `render` is not running and will not run until resumed
//   CloseSoundOutput      stops everything; safe when nothing is open
//   ReportSilentPlayback  tells the user that the music plays silently, and why
// The shared part also tells the backend how many sync callbacks it has made
// (MusicSyncsDelivered: the intro's clock, for a backend that reports it beside its pictures).
#ifndef ZARVO_PLATFORM_COMMON_MIDAS_PLAYBACK_H
#define ZARVO_PLATFORM_COMMON_MIDAS_PLAYBACK_H

#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

constexpr int kPlaybackRate = 48000;

enum class SoundChoice { DefaultOutput, NoSound, Cancel };

using RenderFunction = void (*)(std::int16_t* interleavedStereo, std::size_t frames);

SoundChoice ChooseSoundOutput();
bool OpenSoundOutput(bool wantDevice, RenderFunction render, std::string& note);
void PauseSoundOutput(bool paused);
void CloseSoundOutput();
void ReportSilentPlayback(const std::string& note);

// Sync callbacks made to the intro since the program started; read on the main thread, whose
// reads between two sound outputs' renderings all agree.
std::uint32_t MusicSyncsDelivered();

} // namespace platform

#endif
