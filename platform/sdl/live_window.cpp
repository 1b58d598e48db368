// The live window: SDL window creation for the window table, and SDL events turned into messages.
#include "live_window.h"

#include "live_faults.h"
#include "live_icon.h"
#include "message_queue.h"
#include "presenter.h"
#include "win32_services.h"
#include "window_table.h"

#include <SDL.h>

#include <cstdio>

namespace live {

struct LiveWindowState {
    SDL_Window* window = nullptr;
    HWND handle = nullptr;
    bool active = false; // what the intro was last told through WM_ACTIVATEAPP
    bool fullscreen = true;
};

static LiveWindowState state;

static void SetActive(bool active) {
    if (state.handle == nullptr || active == state.active) {
        return;
    }
    state.active = active;
    platform::QueuePost(state.handle, WM_ACTIVATEAPP, active ? 1 : 0, 0);
}

static bool CreateHook(HWND handle, const platform::WindowRecord& record) {
    if (state.window != nullptr) {
        return false; // the intro owns exactly one window
    }
    // A popup covering the screen becomes a borderless fullscreen window on the desktop.
    Uint32 flags = SDL_WINDOW_HIDDEN | SDL_WINDOW_ALLOW_HIGHDPI;
    if ((record.style & WS_POPUP) != 0) {
        flags |= SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_BORDERLESS;
    }
    const int width = record.width > 0 ? record.width : 640;
    const int height = record.height > 0 ? record.height : 480;
    state.window = SDL_CreateWindow(record.title.c_str(), SDL_WINDOWPOS_CENTERED,
                                    SDL_WINDOWPOS_CENTERED, width, height, flags);
    if (state.window == nullptr) {
        std::fprintf(stderr, "zarvo: cannot create the window (%s)\n", SDL_GetError());
        return false;
    }
    state.handle = handle;
    state.fullscreen = (flags & SDL_WINDOW_FULLSCREEN_DESKTOP) != 0;
    state.active = false;
    SetSignalsCloseWindow(true);
    SDL_Surface* icon = CreateIconSurface(record.icon);
    if (icon != nullptr) {
        SDL_SetWindowIcon(state.window, icon);
        SDL_FreeSurface(icon);
    }
    return true;
}

static void ShowHook(HWND handle, bool visible) {
    if (handle != state.handle || state.window == nullptr) {
        return;
    }
    if (visible) {
        SDL_ShowWindow(state.window);
        // The pointer may already be over the window: let the intro choose its cursor now.
        platform::QueuePost(state.handle, WM_SETCURSOR, reinterpret_cast<WPARAM>(handle), 0);
    } else {
        SDL_HideWindow(state.window);
    }
}

static void FocusHook(HWND handle) {
    if (handle != state.handle || state.window == nullptr) {
        return;
    }
    SDL_RaiseWindow(state.window);
    SDL_SetWindowInputFocus(state.window);
    SetActive(true);
}

static void DestroyHook(HWND handle) {
    if (handle != state.handle || state.window == nullptr) {
        return;
    }
    // The SDL window stays until the program ends (the display is released after this);
    // it is only taken off the screen.
    SDL_HideWindow(state.window);
    state.handle = nullptr;
    state.active = false;
    SetSignalsCloseWindow(false);
}

bool SetLiveFullscreen(bool fullscreen) {
    if (state.window == nullptr) {
        return false;
    }
    if (fullscreen == state.fullscreen) {
        return true;
    }
    SDL_DisplayMode desktop;
    const bool haveDesktop =
        SDL_GetDesktopDisplayMode(SDL_GetWindowDisplayIndex(state.window), &desktop) == 0;
    if (fullscreen && haveDesktop) {
        // Cover the desktop first, so that it is right also where no window manager takes
        // the fullscreen request.
        SDL_SetWindowBordered(state.window, SDL_FALSE);
        SDL_SetWindowPosition(state.window, 0, 0);
        SDL_SetWindowSize(state.window, desktop.w, desktop.h);
    }
    if (SDL_SetWindowFullscreen(state.window, fullscreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) !=
        0) {
        return false;
    }
    state.fullscreen = fullscreen;
    if (!fullscreen) {
        // A 4:3 window of two thirds of the desktop's height.
        const int height = haveDesktop ? desktop.h * 2 / 3 : 600;
        SDL_SetWindowBordered(state.window, SDL_TRUE);
        SDL_SetWindowSize(state.window, height * 4 / 3, height);
        SDL_SetWindowPosition(state.window, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
    }
    RepaintScreen();
    return true;
}

static WPARAM VirtualKey(SDL_Keycode key) {
    if (key == SDLK_ESCAPE) {
        return VK_ESCAPE;
    }
    if (key >= SDLK_a && key <= SDLK_z) {
        return static_cast<WPARAM>('A' + (key - SDLK_a));
    }
    if ((key >= SDLK_0 && key <= SDLK_9) || key == SDLK_SPACE || key == SDLK_RETURN) {
        return static_cast<WPARAM>(key == SDLK_RETURN ? 0x0D : key);
    }
    return 0;
}

static void HandleWindowEvent(const SDL_WindowEvent& event) {
    switch (event.event) {
    case SDL_WINDOWEVENT_FOCUS_GAINED:
        SetActive(true);
        break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
        SetActive(false);
        break;
    case SDL_WINDOWEVENT_CLOSE:
        platform::QueuePost(state.handle, WM_CLOSE, 0, 0);
        break;
    case SDL_WINDOWEVENT_ENTER:
        platform::QueuePost(state.handle, WM_SETCURSOR, reinterpret_cast<WPARAM>(state.handle), 0);
        break;
    case SDL_WINDOWEVENT_EXPOSED:
    case SDL_WINDOWEVENT_SIZE_CHANGED:
        RepaintScreen();
        break;
    default:
        break;
    }
}

static void HandleEvent(const SDL_Event& event) {
    switch (event.type) {
    case SDL_KEYDOWN:
        if (state.handle == nullptr) {
            break;
        }
        if (event.key.keysym.sym == SDLK_RETURN && (event.key.keysym.mod & KMOD_ALT) != 0) {
            if (event.key.repeat == 0) {
                SetLiveFullscreen(!state.fullscreen);
            }
            break;
        }
        platform::QueuePost(state.handle, WM_KEYDOWN, VirtualKey(event.key.keysym.sym), 0);
        break;
    case SDL_WINDOWEVENT:
        if (state.handle != nullptr && state.window != nullptr &&
            event.window.windowID == SDL_GetWindowID(state.window)) {
            HandleWindowEvent(event.window);
        }
        break;
    case SDL_QUIT:
        // The session asks the program to end (e.g. the last window was closed).
        if (state.handle != nullptr) {
            platform::QueuePost(state.handle, WM_CLOSE, 0, 0);
        }
        break;
    case SDL_RENDER_TARGETS_RESET:
        MarkScreenLost(false);
        break;
    case SDL_RENDER_DEVICE_RESET:
        MarkScreenLost(true);
        break;
    default:
        break;
    }
}

static void PollEvents() {
    SDL_Event event;
    while (SDL_PollEvent(&event) != 0) {
        HandleEvent(event);
    }
    // A termination signal closes the window as its close button does.
    if (TakeCloseRequest() && state.handle != nullptr) {
        platform::QueuePost(state.handle, WM_CLOSE, 0, 0);
    }
}

static void WaitEvents() {
    // A timeout keeps a lost wake-up from hanging the program.
    SDL_WaitEventTimeout(nullptr, 250);
}

// SetCursor's effect: the pointer over the window shows or hides with the intro's cursor.
static void ShowPointer(bool shown) {
    if (SDL_WasInit(SDL_INIT_VIDEO) != 0) {
        SDL_ShowCursor(shown ? SDL_ENABLE : SDL_DISABLE);
    }
}

void InstallLiveWindow() {
    platform::WindowHooks hooks;
    hooks.create = CreateHook;
    hooks.show = ShowHook;
    hooks.focus = FocusHook;
    hooks.destroy = DestroyHook;
    platform::SetWindowHooks(hooks);
    platform::EventPump pump;
    pump.poll = PollEvents;
    pump.wait = WaitEvents;
    platform::SetEventPump(pump);
    platform::SetCursorEffect(ShowPointer);
}

SDL_Window* LiveSdlWindow() {
    return state.window;
}

HWND LiveWindowHandle() {
    return state.handle;
}

void CloseLiveWindow() {
    SetSignalsCloseWindow(false);
    if (state.window != nullptr) {
        SDL_DestroyWindow(state.window);
    }
    state = LiveWindowState{};
}

} // namespace live
