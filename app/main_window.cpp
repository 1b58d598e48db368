// CreateMainWindow and MainWndProc.
#include "app/main_window.h"

#include "app/app_state.h"
#include "app/error_box.h"
#include "music/music.h"
#include "resources/resource.h"

namespace {

const char kClassName[] = "QuillmoorKV98DemoMainWnd";
const char kWindowTitle[] = "Zarvo / Quillmoor";

// WM_ACTIVATEAPP's activation values that mean "this application is now active".
constexpr WPARAM kActive = 1;
constexpr WPARAM kClickActive = 2;

} // namespace

int CreateMainWindow() {
    WNDCLASSA windowClass{};
    windowClass.style = CS_VREDRAW | CS_HREDRAW;
    windowClass.lpfnWndProc = MainWndProc;
    windowClass.cbClsExtra = 0;
    windowClass.cbWndExtra = 0;
    windowClass.hInstance = appState.instance;
    windowClass.hIcon = LoadIconA(appState.instance, MAKEINTRESOURCEA(IDI_ZARVO));
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszMenuName = nullptr;
    windowClass.lpszClassName = kClassName;
    if (RegisterClassA(&windowClass) == 0) {
        ErrorBox("Failed to register main window class.");
        return 0;
    }

    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    appState.window = CreateWindowExA(WS_EX_TOPMOST, kClassName, kWindowTitle, WS_POPUP, 0, 0,
                                      width, height, nullptr, nullptr, appState.instance, nullptr);
    if (appState.window == nullptr) {
        ErrorBox("Failed to create main window.");
        return 0;
    }

    // The window's own show command; the one WinMain received is not used.
    ShowWindow(appState.window, SW_SHOWDEFAULT);
    UpdateWindow(appState.window);
    SetFocus(appState.window);
    return 1;
}

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    case WM_ACTIVATEAPP:
        // Also on the first activation, while the music is already playing: resuming a playing
        // library is harmless.
        if (wParam == kActive || wParam == kClickActive) {
            appState.appActive = 1;
            ResumeMusic();
        } else {
            appState.appActive = 0;
            SuspendMusic();
        }
        return 0;
    case WM_SETCURSOR:
        SetCursor(nullptr);
        return 1;
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE) {
            // The default close handling destroys the window, whose WM_DESTROY posts the quit.
            PostMessageA(appState.window, WM_CLOSE, 0, 0);
            return 0;
        }
        break;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
