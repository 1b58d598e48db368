// The program's resources as the stand-in loader finds them.
//
// On Windows the icon is compiled into the program's resource section (zarvo.rc) and the system's
// loader finds it by number; here win32_resources.cpp is that section, with the icon drawn by
// zarvo_icon.h.
//   FindIconResource  the handle of icon resource `id`, or null when the program has none
//   IconSide          the width and height of an icon in pixels, or 0 for a handle not from here
//   DrawIconPixels    fills IconSide^2 pixels, 0xAARRGGBB row by row from the top (alpha 0 is
//                     transparent); false for a handle not from here
#ifndef ZARVO_PLATFORM_COMMON_WIN32_RESOURCES_H
#define ZARVO_PLATFORM_COMMON_WIN32_RESOURCES_H

#include <windows.h>

#include <cstdint>

namespace platform {

HICON FindIconResource(int id);
int IconSide(HICON icon);
bool DrawIconPixels(HICON icon, std::uint32_t* pixels);

} // namespace platform

#endif
