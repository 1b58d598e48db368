// The screen of the shared DirectDraw model on Windows: the intro's own window, borderless over
// the whole monitor at the desktop's mode, or a resizable window on the desktop, with the
// 320x200 picture in it at 4:3 (its pixels 1.2 times as tall as wide, as that mode looked on a
// 4:3 monitor), sharp, centred on black. Alt+Enter switches between the two.
//
//   AttachView      takes over the window the intro made (its style and place, Alt+Enter,
//                   painting), on monitor `display` (-1: the primary one); false without one
//   DetachView      gives the window its own procedure back (nothing happens when not attached)
//   ShowInView      puts a picture of 0x00RRGGBB pixels in the window, and keeps it to paint
//                   the window again after a resize or an expose
//   ViewRefreshRate the refresh rate of the window's monitor, in Hz (0: unknown)
//   MonitorCount / MonitorAt   the monitors, the primary one first (MonitorAt: null when there is
//                   no monitor `index`)
// Main thread only.
#ifndef ZARVO_PLATFORM_WINDOWS_WINDOWS_VIEW_H
#define ZARVO_PLATFORM_WINDOWS_WINDOWS_VIEW_H

#include <windows.h>

#include <cstdint>

namespace windows {

bool AttachView(HWND window, bool windowed, int display);
void DetachView();
void ShowInView(const std::uint32_t* pixels, int width, int height, int pitchBytes);
double ViewRefreshRate();

int MonitorCount();
HMONITOR MonitorAt(int index);

// Where a picture goes in an output of the given size: the largest 4:3 rectangle that fits,
// centred.
RECT FitFourByThree(int outputWidth, int outputHeight);

} // namespace windows

#endif
