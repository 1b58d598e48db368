// The live backend's sound output (midas_playback.h).
//
//   InstallLiveSound  hands the shared sound library its output (called at start-up): MIDASconfig
//                     asks as --sound says (the dialog by default, after the display is made
//                     ready); the music plays on the SDL audio device, or on the silent timer
//                     when there is none or no sound was chosen (audio_output.h), which is then
//                     said on standard error
#ifndef ZARVO_PLATFORM_SDL_MIDAS_LIVE_H
#define ZARVO_PLATFORM_SDL_MIDAS_LIVE_H

namespace live {

void InstallLiveSound();

} // namespace live

#endif
