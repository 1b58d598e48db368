// USER32/GDI32 services of the live backend: screen metrics, icon, cursor, stock objects, and the
// message box (the live dialog box and the same text on standard error).
//
// The message box is skipped, leaving standard error alone, when no box can be shown (no
// display) or when ZARVO_NO_MESSAGEBOX is set to anything but "0" (used by the tests, so that
// nothing waits for a click).
#include "dialog_box.h"
#include "live_icon.h"
#include "live_window.h"
#include "resources/resource.h"
#include "resources/zarvo_icon.h"
#include "window_table.h"

#include <SDL.h>
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace live {

// Handles only need to be distinct and non-null; nothing looks inside them.
static int iconResource;
static int arrowCursor;
static int blackBrush;

// What MessageBoxA returns once its OK button is pressed (IDOK).
constexpr int kOkButton = 1;

HICON LiveIconHandle() {
    return reinterpret_cast<HICON>(&iconResource);
}

bool IsLiveIcon(HICON icon) {
    return icon != nullptr && icon == LiveIconHandle();
}

SDL_Surface* CreateIconSurface() {
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, kZarvoIconSize, kZarvoIconSize, 32,
                                                          SDL_PIXELFORMAT_ARGB8888);
    if (surface == nullptr) {
        return nullptr;
    }
    std::uint32_t pixels[kZarvoIconSize * kZarvoIconSize];
    DrawZarvoIcon(pixels);
    for (int y = 0; y < kZarvoIconSize; ++y) {
        std::memcpy(static_cast<std::uint8_t*>(surface->pixels) + y * surface->pitch,
                    pixels + y * kZarvoIconSize, sizeof(std::uint32_t) * kZarvoIconSize);
    }
    return surface;
}

static bool MessageBoxesWanted() {
    const char* setting = std::getenv("ZARVO_NO_MESSAGEBOX");
    return setting == nullptr || setting[0] == '\0' || std::strcmp(setting, "0") == 0;
}

} // namespace live

int WINAPI GetSystemMetrics(int index) {
    SDL_DisplayMode mode;
    if ((index != SM_CXSCREEN && index != SM_CYSCREEN) ||
        SDL_GetDesktopDisplayMode(0, &mode) != 0) {
        return 0;
    }
    return index == SM_CXSCREEN ? mode.w : mode.h;
}

HICON WINAPI LoadIconA(HINSTANCE instance, LPCSTR iconName) {
    // Resource 101 of the program's own module is the one icon it has.
    const auto id = reinterpret_cast<std::uintptr_t>(iconName);
    if (instance == nullptr || id != static_cast<std::uintptr_t>(IDI_ZARVO)) {
        return nullptr;
    }
    return live::LiveIconHandle();
}

HCURSOR WINAPI LoadCursorA(HINSTANCE instance, LPCSTR cursorName) {
    if (instance != nullptr || cursorName != IDC_ARROW) {
        return nullptr; // only the system's arrow is known
    }
    return reinterpret_cast<HCURSOR>(&live::arrowCursor);
}

HCURSOR WINAPI SetCursor(HCURSOR cursor) {
    static HCURSOR current = reinterpret_cast<HCURSOR>(&live::arrowCursor);
    const HCURSOR before = current;
    current = cursor;
    if (SDL_WasInit(SDL_INIT_VIDEO) != 0) {
        SDL_ShowCursor(cursor == nullptr ? SDL_DISABLE : SDL_ENABLE);
    }
    return before;
}

HGDIOBJ WINAPI GetStockObject(int object) {
    return object == BLACK_BRUSH ? reinterpret_cast<HGDIOBJ>(&live::blackBrush) : nullptr;
}

// The style only picks an icon on Windows; every box the intro shows has the one OK button.
int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT /*type*/) {
    const char* body = text != nullptr ? text : "";
    const char* title = caption != nullptr ? caption : "Error";
    // Standard error gets the text exactly as given.
    std::fprintf(stderr, "%s: %s\n", title, body);
    std::fflush(stderr);
    if (!live::MessageBoxesWanted() || SDL_WasInit(SDL_INIT_VIDEO) == 0) {
        return live::kOkButton;
    }
    // The box shows lines; a carriage return before the line feed would show as a stray mark.
    live::DialogBox box;
    for (const char* c = body; *c != '\0'; ++c) {
        if (!(c[0] == '\r' && c[1] == '\n')) {
            box.message += *c;
        }
    }
    box.title = title;
    box.buttons = {{"OK", 'O'}};
    if (owner != nullptr && platform::WindowIsVisible(owner) && owner == live::LiveWindowHandle()) {
        box.owner = live::LiveSdlWindow();
    }
    std::string error;
    if (live::RunDialogBox(box, error) < 0) {
        std::fprintf(stderr, "zarvo: the message box could not be shown (%s)\n", error.c_str());
        std::fflush(stderr);
    }
    return live::kOkButton;
}
