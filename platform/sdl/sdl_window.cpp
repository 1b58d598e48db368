// The SDL window: its creation for the window table, and SDL events turned into messages.
#include "sdl_window.h"

#include "gdi_font.h"
#include "sdl_faults.h"
#include "sdl_icon.h"
#include "start_options.h"
#include "message_queue.h"
#include "sdl_presenter.h"
#include "win32_resources.h"
#include "window_table.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>

namespace sdl {

struct SdlWindowState {
    SDL_Window* window = nullptr;
    HWND handle = nullptr;  // null until the intro's window takes the SDL window, and after
    bool active = false;    // what the intro was last told through WM_ACTIVATEAPP
    bool fullscreen = true; // fullscreen (or about to be), as opposed to a window
    // The window covers the display without a border; the desktop is asked for the fullscreen
    // state once the first picture is up (SDL waits up to 0.1 s for the window manager there).
    bool fullscreenPending = false;
};

static SdlWindowState state;

static void SetActive(bool active) {
    if (state.handle == nullptr || active == state.active) {
        return;
    }
    state.active = active;
    platform::QueuePost(state.handle, WM_ACTIVATEAPP, active ? 1 : 0, 0);
}

// The monitor the window belongs on: the one it is on, else the one asked for on the command
// line, else the first.
static int WindowDisplay() {
    if (state.window != nullptr) {
        const int index = SDL_GetWindowDisplayIndex(state.window);
        if (index >= 0) {
            return index;
        }
    }
    const int asked = platform::CurrentStartOptions().display;
    return asked >= 0 && asked < SDL_GetNumVideoDisplays() ? asked : 0;
}

static SDL_Rect DisplayBounds(int display) {
    SDL_Rect bounds{0, 0, 640, 480};
    if (SDL_GetDisplayBounds(display, &bounds) != 0) {
        bounds = SDL_Rect{0, 0, 640, 480};
    }
    return bounds;
}

// The window's smallest size: the picture's own.
constexpr int kMinimumWidth = 320;
constexpr int kMinimumHeight = 200;

// A 4:3 window of two thirds of the display's height (at least the picture's width), centred
// on it.
static SDL_Rect WindowedRect(int display) {
    const SDL_Rect bounds = DisplayBounds(display);
    SDL_Rect rect;
    rect.h = std::max(kMinimumWidth * 3 / 4, bounds.h * 2 / 3);
    rect.w = rect.h * 4 / 3;
    rect.x = bounds.x + (bounds.w - rect.w) / 2;
    rect.y = bounds.y + (bounds.h - rect.h) / 2;
    return rect;
}

// Makes the hidden SDL window with its renderer, so that nothing replaces the window once it
// is on the screen (a renderer that needs another kind of window makes SDL recreate it).
// `covering`: borderless over the whole display; otherwise `rect`, with a border.
static SDL_Window* OpenSdlWindow(const char* title, bool covering, const SDL_Rect& rect) {
    Uint32 flags = SDL_WINDOW_HIDDEN | SDL_WINDOW_ALLOW_HIGHDPI | SDL_WINDOW_RESIZABLE;
    if (covering) {
        flags |= SDL_WINDOW_BORDERLESS;
    }
    // The renderer SDL prefers on X11 and Wayland draws with OpenGL: ask for it up front. Where
    // OpenGL's set-up fails with X errors alone, the window still serves the software renderer.
    SDL_Window* window = nullptr;
    if (OpenGlRendererWanted()) {
        XErrorTolerance tolerance;
        window = SDL_CreateWindow(title, rect.x, rect.y, rect.w, rect.h, flags | SDL_WINDOW_OPENGL);
        if (window != nullptr && tolerance.Errors() > 0) {
            NoteOpenGlFailure("X errors in its set-up");
        }
    }
    if (window == nullptr) {
        window = SDL_CreateWindow(title, rect.x, rect.y, rect.w, rect.h, flags);
    }
    if (window == nullptr) {
        std::fprintf(stderr, "zarvo: cannot create the window (%s)\n", SDL_GetError());
        return nullptr;
    }
    // Smaller, the captions would be dots.
    SDL_SetWindowMinimumSize(window, kMinimumWidth, kMinimumHeight);
    state.window = window;
    // A renderer that cannot be had now is tried again, and reported, when the display opens.
    PrepareRenderer(window);
    return window;
}

// The window the intro's popup starts as: covering the display, or a window on request.
static SDL_Rect StartRect(bool popup) {
    const int display = WindowDisplay();
    if (popup && !platform::CurrentStartOptions().windowed) {
        return DisplayBounds(display);
    }
    return WindowedRect(display);
}

void PrepareSdlDisplay() {
    if (state.window != nullptr || SDL_WasInit(SDL_INIT_VIDEO) == 0) {
        return;
    }
    const bool covering = !platform::CurrentStartOptions().windowed;
    // Drawn meanwhile, for the window to carry from its first mapping.
    PrepareWindowIcon(platform::ProgramIcon());
    if (OpenSdlWindow("Zarvo", covering, StartRect(true)) == nullptr) {
        return; // the intro's CreateWindowExA tries again and reports the failure
    }
    state.fullscreen = covering;
    // The font is read on first use; reading it now keeps that off the show's first frame.
    platform::AcquireSystemFont();
    SetWindowIcon(state.window, platform::ProgramIcon());
}

static bool CreateHook(HWND handle, const platform::WindowRecord& record) {
    if (state.handle != nullptr) {
        return false; // the intro owns exactly one window
    }
    // A popup covering the screen becomes a borderless window over the display, and
    // fullscreen once exclusive use is asked for (unless a window was asked for).
    const bool popup = (record.style & WS_POPUP) != 0;
    if (state.window == nullptr) {
        SDL_Rect rect = StartRect(popup);
        if (!popup && record.width > 0 && record.height > 0) {
            rect.w = record.width;
            rect.h = record.height;
        }
        if (OpenSdlWindow(record.title.c_str(), popup && !platform::CurrentStartOptions().windowed,
                          rect) == nullptr) {
            return false;
        }
    } else {
        // The window made ahead of time (PrepareSdlDisplay) becomes the intro's.
        SDL_SetWindowTitle(state.window, record.title.c_str());
    }
    state.handle = handle;
    state.fullscreen = popup && !platform::CurrentStartOptions().windowed;
    state.fullscreenPending = false;
    state.active = false;
    SetSignalsCloseWindow(true);
    SetWindowIcon(state.window, record.icon);
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
    state.fullscreenPending = false;
    SetSignalsCloseWindow(false);
}

static bool WindowIsShown() {
    return (SDL_GetWindowFlags(state.window) & SDL_WINDOW_SHOWN) != 0;
}

static void RequestDesktopFullscreen() {
    state.fullscreenPending = false;
    SDL_SetWindowFullscreen(state.window, SDL_WINDOW_FULLSCREEN_DESKTOP);
}

bool SetSdlFullscreen(bool fullscreen) {
    if (state.window == nullptr) {
        return false;
    }
    const bool isFullscreen =
        (SDL_GetWindowFlags(state.window) & SDL_WINDOW_FULLSCREEN_DESKTOP) != 0;
    if (fullscreen == state.fullscreen &&
        (isFullscreen || state.fullscreenPending || !fullscreen)) {
        return true;
    }
    const int display = WindowDisplay();
    if (fullscreen) {
        // Cover the display first, so that it is right also where no window manager takes
        // the fullscreen request, and before the first picture, when the request waits.
        const SDL_Rect bounds = DisplayBounds(display);
        SDL_SetWindowBordered(state.window, SDL_FALSE);
        SDL_SetWindowPosition(state.window, bounds.x, bounds.y);
        SDL_SetWindowSize(state.window, bounds.w, bounds.h);
        state.fullscreen = true;
        if (WindowIsShown() && ScreenHasPicture()) {
            RequestDesktopFullscreen();
        } else {
            state.fullscreenPending = true;
        }
    } else {
        state.fullscreenPending = false;
        if (isFullscreen && SDL_SetWindowFullscreen(state.window, 0) != 0) {
            return false;
        }
        state.fullscreen = false;
        const SDL_Rect rect = WindowedRect(display);
        SDL_SetWindowBordered(state.window, SDL_TRUE);
        SDL_SetWindowSize(state.window, rect.w, rect.h);
        SDL_SetWindowPosition(state.window, rect.x, rect.y);
    }
    RepaintScreen();
    return true;
}

bool TakeExclusiveLevel() {
    // The user's choice of a window (--window) stands against the intro's fullscreen request.
    return SetSdlFullscreen(!platform::CurrentStartOptions().windowed);
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
    switch (key) {
    case SDLK_LEFT:
        return VK_LEFT;
    case SDLK_RIGHT:
        return VK_RIGHT;
    case SDLK_HOME:
        return VK_HOME;
    case SDLK_F1:
        return VK_F1;
    case SDLK_PERIOD:
        return VK_OEM_PERIOD;
    case SDLK_COMMA:
        return VK_OEM_COMMA;
    case SDLK_SLASH:
    case SDLK_QUESTION:
        return VK_OEM_2;
    default:
        return 0;
    }
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
                SetSdlFullscreen(!state.fullscreen);
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
    if (state.fullscreenPending && state.window != nullptr && WindowIsShown() &&
        ScreenHasPicture()) {
        RequestDesktopFullscreen();
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

platform::Win32Services SdlWindowServices() {
    platform::Win32Services services;
    services.windows.create = CreateHook;
    services.windows.show = ShowHook;
    services.windows.focus = FocusHook;
    services.windows.destroy = DestroyHook;
    services.events.poll = PollEvents;
    services.events.wait = WaitEvents;
    services.showCursor = ShowPointer;
    return services;
}

SDL_Window* TheSdlWindow() {
    return state.window;
}

HWND SdlWindowHandle() {
    return state.handle;
}

void CloseSdlWindow() {
    SetSignalsCloseWindow(false);
    if (state.window != nullptr) {
        SDL_DestroyWindow(state.window);
    }
    state = SdlWindowState{};
}

} // namespace sdl
