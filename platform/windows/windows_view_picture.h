// The picture of the shared model's window (windows_view.h): kept as it was last shown, and
// painted into a window's client area at 4:3, sharp, on black.
//
//   KeepPicture   copies a picture of 0x00RRGGBB pixels (any earlier one is replaced)
//   HasPicture    true once a picture was kept
//   PaintPicture  paints the kept picture (black alone before the first) into `dc`, whose client
//                 area is `client`: in the largest 4:3 rectangle, each picture pixel a sharp
//                 block with only its edges blended into the next, the sides filled black
//   FreePicture   frees what painting made
#ifndef ZARVO_PLATFORM_WINDOWS_WINDOWS_VIEW_PICTURE_H
#define ZARVO_PLATFORM_WINDOWS_WINDOWS_VIEW_PICTURE_H

#include <windows.h>

#include <cstdint>

namespace windows {

void KeepPicture(const std::uint32_t* pixels, int width, int height, int pitchBytes);
bool HasPicture();
void PaintPicture(HDC dc, const RECT& client);
void FreePicture();

} // namespace windows

#endif
