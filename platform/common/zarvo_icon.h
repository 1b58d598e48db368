// The program's icon (resource 101): a 32x32 picture of a shiny sphere over a chequered mirror
// floor, for the resource section (win32_resources.h) and the tools that write it as the Windows
// build's zarvo.ico and the desktop's icons (tools/icon/).
#ifndef ZARVO_PLATFORM_COMMON_ZARVO_ICON_H
#define ZARVO_PLATFORM_COMMON_ZARVO_ICON_H

#include <cstdint>

namespace platform {

constexpr int kZarvoIconSize = 32;

// Fills 32x32 pixels, row by row from the top, as 0xAARRGGBB (alpha 0 = transparent).
void DrawZarvoIcon(std::uint32_t* pixels);

// The same picture at size x size pixels (any size from 16 up), smoothed, for the desktop's
// icon theme.
void DrawZarvoIconAt(int size, std::uint32_t* pixels);

} // namespace platform

#endif
