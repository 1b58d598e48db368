// The program's icon (win32_resources.h) as a picture for the SDL window.
#ifndef ZARVO_PLATFORM_SDL_SDL_ICON_H
#define ZARVO_PLATFORM_SDL_SDL_ICON_H

#include <windows.h>

struct SDL_Surface;

namespace sdl {

// A new surface with the pixels of the icon LoadIconA gave; the caller frees it. Null for a
// handle that is not the program's icon, or when SDL cannot make one.
SDL_Surface* CreateIconSurface(HICON icon);

} // namespace sdl

#endif
