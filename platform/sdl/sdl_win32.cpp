// USER32 services of the SDL backend: screen metrics, the icon's picture for the window, and the
// message box (the live dialog box and the same text on standard error). Icon, cursor and stock
// objects are answered in platform/common (win32_services.cpp).
//
// The message box is skipped, leaving standard error alone, when no box can be shown (no
// display) or when ZARVO_NO_MESSAGEBOX is set to anything but "0" (used by the tests, so that
// nothing waits for a click).
#include "sdl_dialog_box.h"
#include "sdl_icon.h"
#include "sdl_window.h"
#include "win32_resources.h"
#include "window_table.h"

#include <SDL.h>
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace sdl {

SDL_Surface* CreateIconSurface(HICON icon) {
    const int side = platform::IconSide(icon);
    if (side == 0) {
        return nullptr;
    }
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(side) * side);
    platform::DrawIconPixels(icon, pixels.data());
    SDL_Surface* surface =
        SDL_CreateRGBSurfaceWithFormat(0, side, side, 32, SDL_PIXELFORMAT_ARGB8888);
    if (surface == nullptr) {
        return nullptr;
    }
    for (int y = 0; y < side; ++y) {
        std::memcpy(static_cast<std::uint8_t*>(surface->pixels) + y * surface->pitch,
                    pixels.data() + static_cast<std::size_t>(y) * side,
                    sizeof(std::uint32_t) * static_cast<std::size_t>(side));
    }
    return surface;
}

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
