// The SDL backend's sound output (midas_playback.h).
//
//   InstallSdlSound  hands the shared sound library its output (called at start-up): MIDASconfig
//                     asks as --sound says (the dialog by default, after the display is made
//                     ready); the music plays on the SDL audio device, or on the silent timer
//                     when there is none or no sound was chosen (sdl_audio_output.h), which is then
//                     said on standard error
#ifndef ZARVO_PLATFORM_SDL_SDL_MIDAS_H
#define ZARVO_PLATFORM_SDL_SDL_MIDAS_H

namespace sdl {

void InstallSdlSound();

} // namespace sdl

#endif
