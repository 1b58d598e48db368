// The program's resources as the stand-in loader finds them.
//
// On Windows the icon is compiled into the program's resource section (zarvo.rc) and the system's
// loader finds it by number; here win32_resources.cpp is that section, with the icon drawn by
// zarvo_icon.h.
//   FindIconResource  the handle of icon resource `id`, or null when the program has none
//   ProgramIcon       the handle of the program's own icon (the one its resources hold), for a
//                     window made before the program names its icon
//   IconSide          the width and height of an icon in pixels, or 0 for a handle not from here
//   DrawIconPixels    fills IconSide^2 pixels, 0xAARRGGBB row by row from the top (alpha 0 is
//                     transparent); false for a handle not from here
//   DrawIconPixelsAt  the same picture at side x side pixels (16 and up), smoothed, as the
//                     desktop's icon theme has it (the icon's own pixels at its own side), for
//                     windows that offer the window manager several sizes
#ifndef ZARVO_PLATFORM_COMMON_WIN32_RESOURCES_H
#define ZARVO_PLATFORM_COMMON_WIN32_RESOURCES_H

#include <windows.h>

#include <cstdint>

namespace platform {

HICON FindIconResource(int id);
HICON ProgramIcon();
int IconSide(HICON icon);
bool DrawIconPixels(HICON icon, std::uint32_t* pixels);
bool DrawIconPixelsAt(HICON icon, int side, std::uint32_t* pixels);

} // namespace platform

#endif
