// The live window: the SDL window behind the intro's main window, its input and activation.
//
//   InstallLiveWindow   sets the window-table hooks and the event pump (called at start-up)
//   LiveSdlWindow       the SDL window of the main window, or null (none, or destroyed)
//   CloseLiveWindow     destroys the SDL window at the program's end
// Events become messages: Escape -> WM_KEYDOWN VK_ESCAPE; the close button -> WM_CLOSE; focus
// lost/gained -> WM_ACTIVATEAPP 0/1 (only on a change); the pointer entering -> WM_SETCURSOR;
// SIGTERM or SIGINT while the window exists -> WM_CLOSE (live_faults.h).
// Alt+Enter switches between fullscreen and a window without the intro seeing it. Showing and
// focusing the window activates the application, as on Windows.
#ifndef ZARVO_PLATFORM_SDL_LIVE_WINDOW_H
#define ZARVO_PLATFORM_SDL_LIVE_WINDOW_H

#include <windows.h>

struct SDL_Window;

namespace live {

void InstallLiveWindow();
SDL_Window* LiveSdlWindow();
HWND LiveWindowHandle();
// Switches between fullscreen on the desktop (the desktop mode is untouched) and a window.
bool SetLiveFullscreen(bool fullscreen);
void CloseLiveWindow();

} // namespace live

#endif
