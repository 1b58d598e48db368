// The program's icon (win32_resources.h) on the SDL window, at the sizes a desktop shows.
//
//   PrepareWindowIcon  starts drawing an icon's pictures on a thread of their own (the largest
//                      takes a while), so that setting it later costs the start nothing
//   SetWindowIcon      gives the window the icon, once per window and icon: SDL's one picture,
//                      the largest, and on X11 every size (kWindowIconSides) in _NET_WM_ICON, so
//                      that the window manager picks a drawn one rather than scaling. False for
//                      a handle that is not the program's icon.
#ifndef ZARVO_PLATFORM_SDL_SDL_ICON_H
#define ZARVO_PLATFORM_SDL_SDL_ICON_H

#include <windows.h>

struct SDL_Window;

namespace sdl {

// The sizes of the desktop's icon theme that window managers use, smallest first.
constexpr int kWindowIconSides[] = {16, 24, 32, 48, 64, 128, 256};

void PrepareWindowIcon(HICON icon);
bool SetWindowIcon(SDL_Window* window, HICON icon);

} // namespace sdl

#endif
