// The shared model's window: the intro's window restyled, subclassed for Alt+Enter and painting,
// and the monitors it can go to.
//
// The intro makes a topmost popup window the size of the screen; over the whole monitor it stays
// a popup, no longer topmost (the desktop's other windows come back above it when it loses the
// focus), and in a window it gets a frame, a size of its own and the desktop's cursor on that
// frame. Every message the view does not take goes on to the intro's own window procedure.
#include "windows_view.h"

#include "windows_view_picture.h"

#include <vector>

namespace windows {

namespace {

struct ViewState {
    HWND window = nullptr;
    WNDPROC intro = nullptr; // the intro's window procedure
    LONG_PTR introStyle = 0;
    LONG_PTR introExStyle = 0;
    bool windowed = false;
    HMONITOR monitor = nullptr;
    RECT windowedPlace{}; // the window's frame when last windowed (empty: not yet placed)
};

ViewState view;

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM list) {
    reinterpret_cast<std::vector<HMONITOR>*>(list)->push_back(monitor);
    return TRUE;
}

// The monitors, the primary one first, then in the system's order.
std::vector<HMONITOR> Monitors() {
    std::vector<HMONITOR> monitors;
    EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors));
    const HMONITOR primary = MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
    std::vector<HMONITOR> ordered{primary};
    for (HMONITOR monitor : monitors) {
        if (monitor != primary) {
            ordered.push_back(monitor);
        }
    }
    return ordered;
}

RECT MonitorArea(HMONITOR monitor, bool workArea) {
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    if (!GetMonitorInfoA(monitor, &info)) {
        return RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    }
    return workArea ? info.rcWork : info.rcMonitor;
}

// A window's first place: the largest whole multiple of 320x240 that fills at most three
// quarters of the monitor's work area (at least 320x240), centred on it.
RECT FirstWindowedPlace(DWORD style, DWORD exStyle) {
    const RECT work = MonitorArea(view.monitor, true);
    const int workWidth = work.right - work.left;
    const int workHeight = work.bottom - work.top;
    int factor = 1;
    while (320 * (factor + 1) <= workWidth * 3 / 4 && 240 * (factor + 1) <= workHeight * 3 / 4) {
        ++factor;
    }
    RECT frame{0, 0, 320 * factor, 240 * factor};
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    const int left = work.left + (workWidth - width) / 2;
    const int top = work.top + (workHeight - height) / 2;
    return RECT{left, top, left + width, top + height};
}

// Gives the window the look of the current mode.
void ApplyMode() {
    if (view.windowed) {
        const DWORD style = WS_OVERLAPPEDWINDOW | WS_VISIBLE;
        const DWORD exStyle = WS_EX_APPWINDOW;
        if (IsRectEmpty(&view.windowedPlace)) {
            view.windowedPlace = FirstWindowedPlace(style, exStyle);
        }
        SetWindowLongPtrA(view.window, GWL_STYLE, style);
        SetWindowLongPtrA(view.window, GWL_EXSTYLE, exStyle);
        const RECT& place = view.windowedPlace;
        SetWindowPos(view.window, HWND_NOTOPMOST, place.left, place.top, place.right - place.left,
                     place.bottom - place.top, SWP_FRAMECHANGED | SWP_SHOWWINDOW);
    } else {
        const RECT area = MonitorArea(view.monitor, false);
        SetWindowLongPtrA(view.window, GWL_STYLE, WS_POPUP | WS_VISIBLE);
        SetWindowLongPtrA(view.window, GWL_EXSTYLE, WS_EX_APPWINDOW);
        SetWindowPos(view.window, HWND_NOTOPMOST, area.left, area.top, area.right - area.left,
                     area.bottom - area.top, SWP_FRAMECHANGED | SWP_SHOWWINDOW);
    }
    InvalidateRect(view.window, nullptr, FALSE);
}

void ToggleMode() {
    if (view.windowed) {
        GetWindowRect(view.window, &view.windowedPlace);
        // Full screen on the monitor the window is mostly on.
        view.monitor = MonitorFromWindow(view.window, MONITOR_DEFAULTTONEAREST);
    }
    view.windowed = !view.windowed;
    ApplyMode();
}

void Paint() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(view.window, &paint);
    RECT client;
    GetClientRect(view.window, &client);
    PaintPicture(dc, client);
    EndPaint(view.window, &paint);
}

LRESULT CALLBACK ViewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SYSKEYDOWN:
        if (wParam == VK_RETURN && (lParam & (1 << 29)) != 0) { // Alt+Enter
            if ((lParam & (1 << 30)) == 0) {                    // not a repeat
                ToggleMode();
            }
            return 0;
        }
        break;
    case WM_SYSCHAR:
        if (wParam == VK_RETURN) {
            return 0; // no beep for Alt+Enter
        }
        break;
    case WM_SETCURSOR:
        // On the frame of a window, the desktop's cursors (for resizing); over the picture the
        // intro's own (none).
        if (view.windowed && LOWORD(lParam) != HTCLIENT) {
            return DefWindowProcA(window, message, wParam, lParam);
        }
        break;
    case WM_ERASEBKGND:
        return 1; // painting covers every pixel
    case WM_SIZE:
        InvalidateRect(window, nullptr, FALSE);
        break;
    case WM_PAINT:
        Paint();
        return 0;
    default:
        break;
    }
    return CallWindowProcA(view.intro, window, message, wParam, lParam);
}

} // namespace

RECT FitFourByThree(int outputWidth, int outputHeight) {
    int w = outputWidth;
    int h = outputWidth * 3 / 4;
    if (h > outputHeight) {
        h = outputHeight;
        w = outputHeight * 4 / 3;
    }
    const int x = (outputWidth - w) / 2;
    const int y = (outputHeight - h) / 2;
    return RECT{x, y, x + w, y + h};
}

int MonitorCount() {
    return static_cast<int>(Monitors().size());
}

HMONITOR MonitorAt(int index) {
    const std::vector<HMONITOR> monitors = Monitors();
    return index >= 0 && index < static_cast<int>(monitors.size()) ? monitors[index] : nullptr;
}

bool AttachView(HWND window, bool windowed, int display) {
    if (window == nullptr || !IsWindow(window)) {
        return false;
    }
    if (view.window != nullptr) {
        DetachView();
    }
    view.window = window;
    view.windowed = windowed;
    view.monitor = display >= 0 ? MonitorAt(display) : nullptr;
    if (view.monitor == nullptr) {
        view.monitor = MonitorAt(0);
    }
    view.windowedPlace = RECT{};
    view.introStyle = GetWindowLongPtrA(window, GWL_STYLE);
    view.introExStyle = GetWindowLongPtrA(window, GWL_EXSTYLE);
    view.intro = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ViewProc)));
    ApplyMode();
    return true;
}

void DetachView() {
    if (view.window == nullptr) {
        return;
    }
    if (IsWindow(view.window)) {
        SetWindowLongPtrA(view.window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(view.intro));
    }
    view = ViewState{};
    FreePicture();
}

void ShowInView(const std::uint32_t* pixels, int width, int height, int pitchBytes) {
    KeepPicture(pixels, width, height, pitchBytes);
    if (view.window == nullptr) {
        return;
    }
    HDC dc = GetDC(view.window);
    if (dc != nullptr) {
        RECT client;
        GetClientRect(view.window, &client);
        PaintPicture(dc, client);
        ReleaseDC(view.window, dc);
    }
}

double ViewRefreshRate() {
    MONITORINFOEXA info{};
    info.cbSize = sizeof(info);
    const HMONITOR monitor = view.monitor != nullptr ? view.monitor : MonitorAt(0);
    if (!GetMonitorInfoA(monitor, &info)) {
        return 0;
    }
    DEVMODEA mode{};
    mode.dmSize = sizeof(mode);
    if (!EnumDisplaySettingsA(info.szDevice, ENUM_CURRENT_SETTINGS, &mode)) {
        return 0;
    }
    // 0 and 1 stand for the hardware's default, which the system does not tell.
    return mode.dmDisplayFrequency > 1 ? mode.dmDisplayFrequency : 0;
}

} // namespace windows
