// The page's events as the web backend receives them (zarvo_web_next_event), and the pump that
// turns them into the intro's window messages.
//
// An event is kind << 16 | value:
//   kEventKey       a key went down; value: its virtual-key code (VK_ESCAPE, 'A'..'Z', ...)
//   kEventActive    the page became active (1: visible and focused) or inactive (0)
//   kEventClose     the page is being left: the window is asked to close
//   kEventPointer   the pointer came over the picture: the intro chooses its cursor
//   WebWindowHandle  the intro's window, or null before it is made and after it is destroyed
// Messages go to the intro's one window: WM_KEYDOWN, WM_ACTIVATEAPP 0/1 (only on a change),
// WM_CLOSE and WM_SETCURSOR. Focusing the window activates the
// application, as on Windows.
#ifndef ZARVO_PLATFORM_WEB_WEB_EVENTS_H
#define ZARVO_PLATFORM_WEB_WEB_EVENTS_H

#include <windows.h>

namespace web {

constexpr int kEventKey = 1;
constexpr int kEventActive = 2;
constexpr int kEventClose = 3;
constexpr int kEventPointer = 4;

HWND WebWindowHandle();

} // namespace web

#endif
