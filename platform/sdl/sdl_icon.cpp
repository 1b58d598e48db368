// The window's icon: its pictures drawn ahead, and handed to the window manager at every size.
#include "sdl_icon.h"

#include "win32_resources.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <cstdint>
#include <cstring>
#include <future>
#include <iterator>
#include <vector>

namespace sdl {

// The pictures of one icon in _NET_WM_ICON's layout: for each size its width, its height and
// its 0xAARRGGBB pixels row by row, each in a `long` as Xlib takes 32-bit property items.
using IconPictures = std::vector<unsigned long>;

struct IconState {
    HICON icon = nullptr;
    std::shared_future<IconPictures> pictures;
    SDL_Window* window = nullptr; // the window that has it
};

static IconState prepared;

static IconPictures DrawPictures(HICON icon) {
    IconPictures pictures;
    std::vector<std::uint32_t> pixels;
    for (const int side : kWindowIconSides) {
        pixels.resize(static_cast<std::size_t>(side) * side);
        if (!platform::DrawIconPixelsAt(icon, side, pixels.data())) {
            return {};
        }
        pictures.push_back(static_cast<unsigned long>(side));
        pictures.push_back(static_cast<unsigned long>(side));
        pictures.insert(pictures.end(), pixels.begin(), pixels.end());
    }
    return pictures;
}

void PrepareWindowIcon(HICON icon) {
    if (icon == prepared.icon || platform::IconSide(icon) == 0) {
        return;
    }
    prepared = IconState{};
    prepared.icon = icon;
    prepared.pictures = std::async(std::launch::async, DrawPictures, icon).share();
}

// SDL's one picture: the last, largest size of the list.
static void SetSdlIcon(SDL_Window* window, const IconPictures& pictures) {
    const int side = kWindowIconSides[std::size(kWindowIconSides) - 1];
    const std::size_t count = static_cast<std::size_t>(side) * side;
    SDL_Surface* surface =
        SDL_CreateRGBSurfaceWithFormat(0, side, side, 32, SDL_PIXELFORMAT_ARGB8888);
    if (surface == nullptr || pictures.size() < count) {
        SDL_FreeSurface(surface);
        return;
    }
    const unsigned long* source = pictures.data() + pictures.size() - count;
    for (int y = 0; y < side; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(static_cast<std::uint8_t*>(surface->pixels) +
                                                     y * surface->pitch);
        for (int x = 0; x < side; ++x) {
            row[x] = static_cast<std::uint32_t>(source[y * side + x]);
        }
    }
    SDL_SetWindowIcon(window, surface);
    SDL_FreeSurface(surface);
}

bool SetWindowIcon(SDL_Window* window, HICON icon) {
    if (window == nullptr || platform::IconSide(icon) == 0) {
        return false;
    }
    if (icon == prepared.icon && window == prepared.window) {
        return true;
    }
    PrepareWindowIcon(icon);
    const IconPictures& pictures = prepared.pictures.get();
    if (pictures.empty()) {
        return false;
    }
    // SDL keeps its picture for a window that it makes anew (for another renderer).
    SetSdlIcon(window, pictures);
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWindowWMInfo(window, &info) == SDL_TRUE && info.subsystem == SDL_SYSWM_X11) {
        Display* display = info.info.x11.display;
        const Atom property = XInternAtom(display, "_NET_WM_ICON", False);
        XChangeProperty(display, info.info.x11.window, property, XA_CARDINAL, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(pictures.data()),
                        static_cast<int>(pictures.size()));
        XFlush(display);
    }
    prepared.window = window;
    return true;
}

} // namespace sdl
