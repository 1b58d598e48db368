// USER32 services of the capture (capture_backend.h): a window nobody sees, a message queue that
// only the show and the capture's own stop requests feed, and message boxes on standard error.
//
// The window's focus is the application's activation (WM_ACTIVATEAPP 1), as when a full-screen
// window takes the desktop. No input ever arrives, so the pump's wait never blocks: when the
// intro would wait for a message that cannot come, the capture asks it to close instead.
#include "capture_backend.h"

#include "capture_run.h"
#include "capture_video_encoder.h"
#include "message_queue.h"
#include "window_table.h"

#include <windows.h>

#include <cstdint>
#include <cstdio>

namespace capture {

struct WindowState {
    HWND window = nullptr;
    bool active = false;
    bool closePosted = false;
};

static WindowState windowState;

static bool CreateHook(HWND window, const platform::WindowRecord&) {
    if (windowState.window != nullptr) {
        return false; // the intro owns exactly one window
    }
    windowState.window = window;
    return true;
}

static void FocusHook(HWND window) {
    if (window != windowState.window || windowState.active) {
        return;
    }
    windowState.active = true;
    platform::QueuePost(window, WM_ACTIVATEAPP, 1, 0);
}

static void DestroyHook(HWND window) {
    if (window == windowState.window) {
        windowState.window = nullptr;
        windowState.active = false;
    }
}

// Every pass of the main loop comes through here before it looks for a message.
static void PollEvents() {
    if (!StopRequested() || windowState.closePosted) {
        return;
    }
    windowState.closePosted = true;
    // The close takes the intro's own road: the window is destroyed, the quit message ends the
    // loop, and Shutdown releases music and display.
    if (windowState.window != nullptr && platform::WindowIsAlive(windowState.window)) {
        platform::QueuePost(windowState.window, WM_CLOSE, 0, 0);
    } else {
        platform::QueuePostQuit(0);
    }
}

static void WaitForEvents() {
    // Nothing can arrive while the intro sleeps: in a capture the clock only runs with frames.
    RequestStop("the show waits for input that a capture never gives; stopping");
}

static int ScreenMetric(int index) {
    // The capture's screen is the picture it records.
    return index == SM_CXSCREEN ? kFrameWidth : kFrameHeight;
}

static void ShowMessageBox(HWND, const char* text, const char* caption) {
    // The intro shows a box only to report an error. No one to click it: the text goes to
    // standard error exactly as given, and the exit code will tell.
    NoteIntroFailure();
    std::fprintf(stderr, "%s: %s\n", caption, text);
    std::fflush(stderr);
}

platform::Win32Services CaptureWin32() {
    platform::Win32Services services;
    services.windows.create = CreateHook;
    services.windows.focus = FocusHook;
    services.windows.destroy = DestroyHook;
    services.events.poll = PollEvents;
    services.events.wait = WaitForEvents;
    services.screenMetric = ScreenMetric;
    services.messageBox = ShowMessageBox;
    return services;
}

} // namespace capture
