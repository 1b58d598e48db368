// The SDL window behind the intro's main window, its input and activation.
//
//   SdlWindowServices   the window hooks, the event pump and the pointer's visibility (the part
//                       of SdlWin32 that follows the window, sdl_backend.h)
//   PrepareSdlDisplay   makes the window (hidden), its renderer and icon, and the font ahead of
//                       time, before the music starts, so the show's first picture follows its
//                       start at once; the intro's CreateWindowExA then takes that window. Nothing
//                       happens without SDL video; what fails here is tried again, and reported,
//                       later.
//   TheSdlWindow        the SDL window (made ahead, or the main window's), or null
//   SdlWindowHandle     the intro's window behind it, or null
//   TakeExclusiveLevel  the exclusive level: fullscreen, or a window when --window was given
//   CloseSdlWindow      destroys the SDL window at the program's end
// The window is created once, with its renderer, while hidden: nothing replaces it after it
// is mapped, so input from its first moment on the screen reaches the intro.
// Events become messages: Escape -> WM_KEYDOWN VK_ESCAPE; the close button -> WM_CLOSE; focus
// lost/gained -> WM_ACTIVATEAPP 0/1 (only on a change); the pointer entering -> WM_SETCURSOR;
// SIGTERM or SIGINT while the window exists -> WM_CLOSE (sdl_faults.h).
// Alt+Enter switches between fullscreen and a window without the intro seeing it; the window
// can be resized (not below the picture's 320x200) and maximised, and the picture keeps 4:3 in
// it (sdl_presenter.h). Showing and focusing the window activates the application, as on
// Windows.
#ifndef ZARVO_PLATFORM_SDL_SDL_WINDOW_H
#define ZARVO_PLATFORM_SDL_SDL_WINDOW_H

#include "backend.h"

#include <windows.h>

struct SDL_Window;

namespace sdl {

platform::Win32Services SdlWindowServices();
void PrepareSdlDisplay();
SDL_Window* TheSdlWindow();
HWND SdlWindowHandle();
// Switches between fullscreen on the desktop (the desktop mode is untouched) and a window.
bool SetSdlFullscreen(bool fullscreen);
bool TakeExclusiveLevel();
void CloseSdlWindow();

} // namespace sdl

#endif
