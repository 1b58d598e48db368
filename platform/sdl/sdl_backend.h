// The SDL backend's tables for the platform stand-in (backend.h), filled in by StartBackend
// (sdl_startup.cpp) once SDL's video is up.
//
//   SdlWin32    the window hooks, the event pump and the pointer (sdl_window.h), the desktop's
//               size, and the message box: the SDL dialog box, with the same text on standard
//               error (sdl_win32.cpp)
//   SdlDisplay  DirectDraw's effects: the exclusive level -> the SDL window goes fullscreen on
//               the desktop (the desktop mode itself is never changed); the display mode -> the
//               screen opens (sdl_presenter.h); the vertical blank -> the screen's refresh; the
//               copy to the primary surface -> the picture shown (sdl_ddraw.cpp)
//   SdlSound    the sound output: MIDASconfig asks as --sound says (the dialog by default, after
//               the display is made ready); the music plays on the SDL audio device, or on the
//               silent timer when there is none or no sound was chosen (sdl_audio_output.h),
//               which is then said on standard error (sdl_midas.cpp)
#ifndef ZARVO_PLATFORM_SDL_SDL_BACKEND_H
#define ZARVO_PLATFORM_SDL_SDL_BACKEND_H

#include "backend.h"

namespace sdl {

platform::Win32Services SdlWin32();
platform::DisplayEffects SdlDisplay();
platform::SoundOutput SdlSound();

} // namespace sdl

#endif
