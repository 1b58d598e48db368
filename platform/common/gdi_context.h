// GDI device contexts over a block of 0x00RRGGBB pixels: colours, background mode and text.
//
// A context is what IDirectDrawSurface4::GetDC lends: it draws into the surface's own pixels.
// Fresh contexts start as Windows' do: black text, white background, OPAQUE mode. Text is drawn
// with the system-style font (gdi_font.h), its cell's top-left at the given point; in OPAQUE
// mode the whole cell is filled with the background colour first. Everything is clipped at the
// pixel block's edges. Handles of destroyed contexts are recognised and refused.
//   CreateGdiContext / DestroyGdiContext   made and ended by the surface
//   MeasureText / DrawText / Set...        the GDI calls' work, on a live handle (false/CLR_INVALID
//                                           for a handle that is not live)
// Main thread only.
#ifndef ZARVO_PLATFORM_COMMON_GDI_CONTEXT_H
#define ZARVO_PLATFORM_COMMON_GDI_CONTEXT_H

#include <windows.h>

#include <cstdint>

namespace platform {

constexpr COLORREF kInvalidColor = 0xFFFFFFFFu; // GDI's CLR_INVALID

HDC CreateGdiContext(std::uint32_t* pixels, int width, int height, int pitchPixels);
void DestroyGdiContext(HDC dc);
bool IsLiveGdiContext(HDC dc);

// COLORREF is 0x00BBGGRR; surface pixels are 0x00RRGGBB.
constexpr std::uint32_t ColorRefToPixel(COLORREF color) {
    return ((color & 0xFFu) << 16) | (color & 0xFF00u) | ((color >> 16) & 0xFFu);
}

COLORREF SetContextTextColor(HDC dc, COLORREF color);
COLORREF SetContextBackColor(HDC dc, COLORREF color);
int SetContextBackMode(HDC dc, int mode); // previous mode, 0 on failure
bool MeasureText(HDC dc, const char* text, int length, SIZE* size);
bool DrawText(HDC dc, int x, int y, const char* text, int length);

} // namespace platform

#endif
