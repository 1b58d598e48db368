// The surface descriptions the intro hands to DirectDraw, for the tests of its stand-ins.
#ifndef ZARVO_TESTS_COMMON_SURFACE_DESCS_H
#define ZARVO_TESTS_COMMON_SURFACE_DESCS_H

#include <ddraw.h>

namespace sdltest {

// The back surface as the intro asks for it: 320x200 in system memory, 32-bit 0x00RRGGBB, with
// the 124 of the 32-bit Windows record in dwSize.
inline DDSURFACEDESC2 BackSurfaceDesc() {
    DDSURFACEDESC2 desc{};
    desc.dwSize = 124;
    desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_PIXELFORMAT;
    desc.dwWidth = 320;
    desc.dwHeight = 200;
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
    desc.ddpfPixelFormat.dwSize = 32;
    desc.ddpfPixelFormat.dwFlags = DDPF_RGB;
    desc.ddpfPixelFormat.dwRGBBitCount = 32;
    desc.ddpfPixelFormat.dwRBitMask = 0x00FF0000;
    desc.ddpfPixelFormat.dwGBitMask = 0x0000FF00;
    desc.ddpfPixelFormat.dwBBitMask = 0x000000FF;
    return desc;
}

} // namespace sdltest

#endif
