// The icon resource of the live program, for LoadIconA and the window.
#ifndef ZARVO_PLATFORM_SDL_LIVE_ICON_H
#define ZARVO_PLATFORM_SDL_LIVE_ICON_H

#include <windows.h>

struct SDL_Surface;

namespace live {

// The handle LoadIconA gives for resource 101.
HICON LiveIconHandle();
bool IsLiveIcon(HICON icon);
// A new 32x32 surface with the icon's pixels; the caller frees it. Null when SDL cannot make one.
SDL_Surface* CreateIconSurface();

} // namespace live

#endif
