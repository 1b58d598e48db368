// The DirectDraw of the real backends, and the effects each backend supplies to it.
//
// platform/common holds the one model of DirectDraw's objects and rules (ddraw_objects.cpp,
// ddraw_surfaces.cpp): DirectDrawCreate, IDirectDraw, IDirectDraw4 and IDirectDrawSurface4 with
// their reference counts, the cooperative level, the one display mode (320x200 at 32 bits, at the
// default refresh rate), the primary surface (the screen) and system-memory back surfaces, locks,
// device contexts and every result code. A backend links it and supplies only what the screen
// does, through SetDisplayEffects, before the intro runs:
//   available       DirectDrawCreate: whether there is a display at all (else DDERR_NODIRECTDRAWHW)
//   takeScreen      SetCooperativeLevel exclusive, once the rules passed and the window is alive:
//                   the window takes the screen; DD_OK or the call's result code
//   openScreen      SetDisplayMode with the one mode: the screen shows pictures of that size
//   closeScreen     the primary surface's last Release: the screen goes
//   waitForRefresh  WaitForVerticalBlank: returns at the start of the next refresh
//   screenLost      BltFast: true while the screen has lost its pictures (DDERR_SURFACELOST)
//   restoreScreen   Restore on the primary surface, and RestoreAllSurfaces
//   showPicture     BltFast to the primary surface: the whole screen's pixels (0x00RRGGBB, row by
//                   row, pitch in bytes) after the copy; its result is BltFast's
// An effect left null does nothing and succeeds: with none set, the model is a display that
// nobody sees. Main thread only.
#ifndef ZARVO_PLATFORM_COMMON_DDRAW_DISPLAY_H
#define ZARVO_PLATFORM_COMMON_DDRAW_DISPLAY_H

#include <ddraw.h>

#include <cstdint>

namespace platform {

// The one display mode offered.
constexpr int kDisplayWidth = 320;
constexpr int kDisplayHeight = 200;
constexpr int kDisplayBitsPerPixel = 32;

struct DisplayEffects {
    bool (*available)() = nullptr;
    HRESULT (*takeScreen)(HWND window) = nullptr;
    HRESULT (*openScreen)(int width, int height) = nullptr;
    void (*closeScreen)() = nullptr;
    HRESULT (*waitForRefresh)() = nullptr;
    bool (*screenLost)() = nullptr;
    HRESULT (*restoreScreen)() = nullptr;
    HRESULT(*showPicture)
    (const std::uint32_t* pixels, int width, int height, int pitchBytes) = nullptr;
};

// Replaces every effect at once (a default DisplayEffects clears them).
void SetDisplayEffects(const DisplayEffects& effects);

} // namespace platform

#endif
