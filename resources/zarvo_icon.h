// The program's icon (resource 101): a 32x32 picture of a shiny sphere over a chequered mirror
// floor.
#ifndef ZARVO_RESOURCES_ZARVO_ICON_H
#define ZARVO_RESOURCES_ZARVO_ICON_H

#include <cstdint>

constexpr int kZarvoIconSize = 32;

// Fills 32x32 pixels, row by row from the top, as 0xAARRGGBB (alpha 0 = transparent).
void DrawZarvoIcon(std::uint32_t* pixels);

// The same picture at size x size pixels (any size from 16 up), smoothed, for the desktop's
// icon theme.
void DrawZarvoIconAt(int size, std::uint32_t* pixels);

#endif
