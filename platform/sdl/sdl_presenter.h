// The screen: an SDL renderer on the SDL window that shows 320x200 pixels at 4:3, sharp,
// centred on black, each picture on the refresh the show's pace gives it.
//
//   OpenGlRendererWanted  whether the renderer will be OpenGL, SDL's first choice on X11 and
//                   Wayland (unless SDL_RENDER_DRIVER names another, or OpenGL has failed): the
//                   window is then made for OpenGL
//   NoteOpenGlFailure  OpenGL failed on the window (the window's set-up met X errors, or no
//                   OpenGL renderer could be made); says so once on standard error, and from
//                   then on SDL's software renderer draws, without trying OpenGL again
//   PrepareRenderer makes the renderer for the window ahead of OpenScreen, while the window is
//                   still hidden (false when it cannot: OpenScreen then tries again)
//   OpenScreen      renderer (unless prepared) and screen texture for a width x height picture
//                   in the given window (the SDL window, passed in by the caller); DD_OK or a
//                   DirectDraw code (no window, the mode is unsupported, or memory ran out)
//   CloseScreen     frees them (nothing happens when nothing is open)
//   ScreenIsLost    true after the renderer lost its textures or its device
//   RestoreScreen   recreates whatever was lost
//   ShowPicture     uploads 0x00RRGGBB pixels of the screen's size and presents them;
//                   DDERR_SURFACELOST when lost, DDERR_INVALIDRECT for another size
//   ScreenHasPicture  true once a picture has been presented
//   RepaintScreen   presents the last picture again (after an expose or a resize)
//   WaitForRefresh  returns when the next picture is due: on the refresh the show's pace gives
//                   it (sdl_pace.h), the last picture shown again meanwhile where vsync waits
// Main thread only.
#ifndef ZARVO_PLATFORM_SDL_SDL_PRESENTER_H
#define ZARVO_PLATFORM_SDL_SDL_PRESENTER_H

#include <windows.h>

#include <cstdint>

struct SDL_Rect;
struct SDL_Window;

namespace sdl {

bool OpenGlRendererWanted();
void NoteOpenGlFailure(const char* reason);
bool PrepareRenderer(SDL_Window* window);
HRESULT OpenScreen(SDL_Window* window, int width, int height);
void CloseScreen();
bool ScreenIsOpen();
bool ScreenIsLost();
void MarkScreenLost(bool deviceReset);
HRESULT RestoreScreen();
HRESULT ShowPicture(const std::uint32_t* pixels, int width, int height, int pitchBytes);
bool ScreenHasPicture();
void RepaintScreen();
void WaitForRefresh();

// Where a picture of the given size goes in an output of the given size: the largest 4:3
// rectangle that fits, centred. For a 320x200 picture the pixels come out 1.2 times as tall
// as wide, as that mode looked on a 4:3 monitor.
void FitFourByThree(int outputWidth, int outputHeight, SDL_Rect* destination);

} // namespace sdl

#endif
