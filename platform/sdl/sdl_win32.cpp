// USER32 services of the SDL backend: screen metrics and the message box (the live dialog box
// and the same text on standard error). Icon, cursor and stock objects are answered in
// platform/common (win32_services.cpp); the icon's pictures reach the window in sdl_icon.h.
//
// The message box is skipped, leaving standard error alone, when no box can be shown (no
// display) or when ZARVO_NO_MESSAGEBOX is set to anything but "0" (used by the tests, so that
// nothing waits for a click).
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

} // namespace sdl

int WINAPI GetSystemMetrics(int index) {
    SDL_DisplayMode mode;
    if ((index != SM_CXSCREEN && index != SM_CYSCREEN) ||
        SDL_GetDesktopDisplayMode(0, &mode) != 0) {
        return 0;
    }
    return index == SM_CXSCREEN ? mode.w : mode.h;
}

// The style only picks an icon on Windows; every box the intro shows has the one OK button.
int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT /*type*/) {
    const char* body = text != nullptr ? text : "";
    const char* title = caption != nullptr ? caption : "Error";
    // Standard error gets the text exactly as given.
    std::fprintf(stderr, "%s: %s\n", title, body);
    std::fflush(stderr);
    if (!sdl::MessageBoxesWanted() || SDL_WasInit(SDL_INIT_VIDEO) == 0) {
        return IDOK;
    }
    // The box shows lines; a carriage return before the line feed would show as a stray mark.
    sdl::DialogBox box;
    for (const char* c = body; *c != '\0'; ++c) {
        if (!(c[0] == '\r' && c[1] == '\n')) {
            box.message += *c;
        }
    }
    box.title = title;
    box.buttons = {{"OK", 'O'}};
    if (owner != nullptr && platform::WindowIsVisible(owner) && owner == sdl::SdlWindowHandle()) {
        box.owner = sdl::TheSdlWindow();
    }
    std::string error;
    if (sdl::RunDialogBox(box, error) < 0) {
        std::fprintf(stderr, "zarvo: the message box could not be shown (%s)\n", error.c_str());
        std::fflush(stderr);
    }
    return IDOK;
}
