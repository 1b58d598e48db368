// USER32 services of the capture: a window nobody sees, a message queue that only the show
// and the capture's own stop requests feed, and message boxes on standard error.
//
// The window's focus is the application's activation (WM_ACTIVATEAPP 1), as when a full-screen
// window takes the desktop. No input ever arrives, so the pump's wait never blocks: when the
// intro would wait for a message that cannot come, the capture asks it to close instead.
#include "capture_run.h"
#include "capture_startup.h"
#include "message_queue.h"
#include "module_file.h"
#include "video_encoder.h"
#include "window_table.h"

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>

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

void InstallCaptureWindow() {
    platform::WindowHooks hooks;
    hooks.create = CreateHook;
    hooks.focus = FocusHook;
    hooks.destroy = DestroyHook;
    platform::SetWindowHooks(hooks);
    platform::EventPump pump;
    pump.poll = PollEvents;
    pump.wait = WaitForEvents;
    platform::SetEventPump(pump);
}

} // namespace capture

int WINAPI GetSystemMetrics(int index) {
    // The capture's screen is the picture it records.
    if (index == SM_CXSCREEN) {
        return capture::kFrameWidth;
    }
    if (index == SM_CYSCREEN) {
        return capture::kFrameHeight;
    }
    return 0;
}

int WINAPI MessageBoxA(HWND, LPCSTR text, LPCSTR caption, UINT) {
    // The intro shows a box only to report an error. No one to click it: the text goes to
    // standard error exactly as given, and the exit code will tell.
    capture::NoteIntroFailure();
    // With --module, the file the user named stands where the intro names its own module.
    const std::string body = platform::ModuleMessageText(text != nullptr ? text : "");
    std::fprintf(stderr, "%s: %s\n", caption != nullptr ? caption : "Error", body.c_str());
    std::fflush(stderr);
    return IDOK;
}
