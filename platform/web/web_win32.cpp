// The web backend's window manager (web_backend.h): the intro's window is the page's picture, the
// page's events become its messages, and the message box is a box in the page (with the text on
// the console).
#include "web_backend.h"
#include "web_bridge.h"
#include "web_events.h"

#include "message_queue.h"
#include "window_table.h"

#include <windows.h>

namespace web {

struct WebWindowState {
    HWND handle = nullptr;
    bool active = false;    // what the intro was last told through WM_ACTIVATEAPP
    bool pageActive = true; // what the page last said (visible and focused)
};

static WebWindowState state;

static void SetActive(bool active) {
    if (state.handle == nullptr || active == state.active) {
        return;
    }
    state.active = active;
    platform::QueuePost(state.handle, WM_ACTIVATEAPP, active ? 1 : 0, 0);
}

static bool CreateHook(HWND handle, const platform::WindowRecord& /*record*/) {
    if (state.handle != nullptr) {
        return false; // the page shows exactly one window
    }
    state.handle = handle;
    state.active = false;
    return true;
}

static void ShowHook(HWND handle, bool visible) {
    if (handle == state.handle && visible) {
        // The pointer may already be over the picture: let the intro choose its cursor now.
        platform::QueuePost(handle, WM_SETCURSOR, reinterpret_cast<WPARAM>(handle), 0);
    }
}

static void FocusHook(HWND handle) {
    // The keyboard is the page's; a window that takes it while the page is in the background
    // becomes active when the page comes back.
    if (handle == state.handle && state.pageActive) {
        SetActive(true);
    }
}

static void DestroyHook(HWND handle) {
    if (handle == state.handle) {
        state.handle = nullptr;
        state.active = false;
    }
}

static void TakeEvent(int event) {
    const int kind = event >> 16;
    const int value = event & 0xFFFF;
    if (kind == kEventActive) {
        state.pageActive = value != 0;
        SetActive(state.pageActive);
        return;
    }
    if (state.handle == nullptr) {
        return;
    }
    switch (kind) {
    case kEventKey:
        platform::QueuePost(state.handle, WM_KEYDOWN, static_cast<WPARAM>(value), 0);
        break;
    case kEventClose:
        platform::QueuePost(state.handle, WM_CLOSE, 0, 0);
        break;
    case kEventPointer:
        platform::QueuePost(state.handle, WM_SETCURSOR, reinterpret_cast<WPARAM>(state.handle), 0);
        break;
    default:
        break;
    }
}

static void PollEvents() {
    for (int event = zarvo_web_next_event(); event != 0; event = zarvo_web_next_event()) {
        TakeEvent(event);
    }
}

static void WaitEvents() {
    zarvo_web_wait_event();
}

static void ShowPointer(bool shown) {
    zarvo_web_show_cursor(shown ? 1 : 0);
}

HWND WebWindowHandle() {
    return state.handle;
}

static int ScreenMetric(int index) {
    return zarvo_web_screen_size(index == SM_CXSCREEN ? 0 : 1);
}

static void ShowMessageBox(HWND /*owner*/, const char* text, const char* caption) {
    zarvo_web_message_box(caption, text);
}

platform::Win32Services WebWin32() {
    platform::Win32Services services;
    services.windows.create = CreateHook;
    services.windows.show = ShowHook;
    services.windows.focus = FocusHook;
    services.windows.destroy = DestroyHook;
    services.events.poll = PollEvents;
    services.events.wait = WaitEvents;
    services.showCursor = ShowPointer;
    services.screenMetric = ScreenMetric;
    services.messageBox = ShowMessageBox;
    return services;
}

} // namespace web
