// ErrorBox: format, tear everything down, then show the message.
#include "app/error_box.h"

#include <cstdarg>
#include <cstdio>

#include <windows.h>

#include "app/app_state.h"
#include "app/shutdown.h"

namespace {

constexpr int kMessageSize = 1024;

// The box belongs to the main window only while that window is still there to be seen; an
// unowned box is shown before the window exists and after it has been destroyed.
HWND ChooseOwner() {
    HWND window = appState.window;
    if (window != nullptr && IsWindow(window) && IsWindowVisible(window)) {
        return window;
    }
    return nullptr;
}

} // namespace

void ErrorBox(const char* format, ...) {
    char message[kMessageSize];
    va_list args;
    va_start(args, format);
    // vsnprintf, not vsprintf: a longer text is cut at the buffer's end instead of overrunning it.
    std::vsnprintf(message, sizeof(message), format, args);
    va_end(args);

    Shutdown();

    MessageBoxA(ChooseOwner(), message, "Error", MB_ICONERROR);
}
