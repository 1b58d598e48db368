// DirectDraw effects of the SDL backend, for the common DirectDraw model (ddraw_display.h).
//
//   InstallSdlDisplay  hands the live effects to the model (called at start-up, after the live
//                       window is installed): exclusive level -> the live window goes fullscreen
//                       on the desktop (the desktop mode itself is never changed); the display
//                       mode -> the screen opens (sdl_presenter.h); the vertical blank -> the
//                       screen's refresh; the copy to the primary surface -> the picture shown
#ifndef ZARVO_PLATFORM_SDL_SDL_DDRAW_H
#define ZARVO_PLATFORM_SDL_SDL_DDRAW_H

namespace sdl {

void InstallSdlDisplay();

} // namespace sdl

#endif
