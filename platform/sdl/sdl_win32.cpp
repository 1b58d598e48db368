// USER32 services of the SDL backend (sdl_backend.h): the desktop's size and the message box (the
// SDL dialog box and the same text on standard error). Icon, cursor and stock objects are answered
// in platform/common (win32_services.cpp); the icon's pictures reach the window in sdl_icon.h.
//
// The message box is skipped, leaving standard error alone, when no box can be shown (no
// display) or when ZARVO_NO_MESSAGEBOX is set to anything but "0" (used by the tests, so that
// nothing waits for a click).
#include "sdl_backend.h"

#include "sdl_dialog_box.h"
#include "sdl_window.h"
#include "window_table.h"

#include <SDL.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace sdl {

static bool MessageBoxesWanted() {
    const char* setting = std::getenv("ZARVO_NO_MESSAGEBOX");
    return setting == nullptr || setting[0] == '\0' || std::strcmp(setting, "0") == 0;
}

// The desktop's size, not the window's: the intro sizes its window to the whole screen.
static int DesktopMetric(int index) {
    SDL_DisplayMode mode;
    if (SDL_GetDesktopDisplayMode(0, &mode) != 0) {
        return 0;
    }
    return index == SM_CXSCREEN ? mode.w : mode.h;
}

static void ShowMessageBox(HWND owner, const char* text, const char* caption) {
    // Standard error gets the text exactly as given.
    std::fprintf(stderr, "%s: %s\n", caption, text);
    std::fflush(stderr);
    if (!MessageBoxesWanted() || SDL_WasInit(SDL_INIT_VIDEO) == 0) {
        return;
    }
    // The box shows lines; a carriage return before the line feed would show as a stray mark.
    DialogBox box;
    for (const char* c = text; *c != '\0'; ++c) {
        if (!(c[0] == '\r' && c[1] == '\n')) {
            box.message += *c;
        }
    }
    box.title = caption;
    box.buttons = {{"OK", 'O'}};
    if (owner != nullptr && platform::WindowIsVisible(owner) && owner == SdlWindowHandle()) {
        box.owner = TheSdlWindow();
    }
    std::string error;
    if (RunDialogBox(box, error) < 0) {
        std::fprintf(stderr, "zarvo: the message box could not be shown (%s)\n", error.c_str());
        std::fflush(stderr);
    }
}

platform::Win32Services SdlWin32() {
    platform::Win32Services services = SdlWindowServices();
    services.screenMetric = DesktopMetric;
    services.messageBox = ShowMessageBox;
    return services;
}

} // namespace sdl
