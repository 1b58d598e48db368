// The frame every layer of the intro agrees on: the picture's size (the renderer's enlarged grid)
// and the size of the surface description the display layer writes.
#ifndef ZARVO_DISPLAY_FRAME_FORMAT_H
#define ZARVO_DISPLAY_FRAME_FORMAT_H

#include <windows.h>

#include "raytrace/picture_size.h"

// sizeof(DDSURFACEDESC2) on 32-bit Windows, written into dwSize of every description; the
// Linux backends accept it in place of their own (larger) record size.
constexpr DWORD kSurfaceDescSize = 124;

#endif
