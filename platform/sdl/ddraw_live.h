// Shared facts between the live DirectDraw object and its surfaces.
#ifndef ZARVO_PLATFORM_SDL_DDRAW_LIVE_H
#define ZARVO_PLATFORM_SDL_DDRAW_LIVE_H

#include <ddraw.h>

namespace live {

// True once SetDisplayMode succeeded on the object (surfaces need the mode).
bool DirectDrawModeIsSet(IDirectDraw4* object);

} // namespace live

#endif
