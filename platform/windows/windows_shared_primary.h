// The primary surface of the shared DirectDraw model: what the intro takes for the screen when
// the display keeps the desktop's mode. A blit to it puts the picture in the view's window
// (windows_view.h); nothing else can be done with it but ask whether it is lost (never).
//
//   CreateSharedPrimary  a new surface, with one reference, for a picture of width x height
#ifndef ZARVO_PLATFORM_WINDOWS_WINDOWS_SHARED_PRIMARY_H
#define ZARVO_PLATFORM_WINDOWS_WINDOWS_SHARED_PRIMARY_H

#include <windows.h>

#include <ddraw.h>

namespace windows {

IDirectDrawSurface4* CreateSharedPrimary(int width, int height);

} // namespace windows

#endif
