// USER32 window functions over the shared window table (the backend's hooks do the showing).
#include "window_table.h"

#include <windows.h>

ATOM WINAPI RegisterClassA(const WNDCLASSA* wndClass) {
    return platform::RegisterWindowClass(wndClass);
}

HWND WINAPI CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x,
                            int y, int width, int height, HWND /*parent*/, HMENU /*menu*/,
                            HINSTANCE /*instance*/, LPVOID /*param*/) {
    return platform::CreateWindowRecord(exStyle, className, windowName, style, x, y, width, height);
}

BOOL WINAPI ShowWindow(HWND window, int /*showCommand*/) {
    return platform::SetWindowVisible(window, true) ? TRUE : FALSE;
}

BOOL WINAPI UpdateWindow(HWND window) {
    return platform::WindowIsAlive(window) ? TRUE : FALSE;
}

HWND WINAPI SetFocus(HWND window) {
    return platform::FocusWindow(window);
}

BOOL WINAPI IsWindow(HWND window) {
    return platform::WindowIsAlive(window) ? TRUE : FALSE;
}

BOOL WINAPI IsWindowVisible(HWND window) {
    return platform::WindowIsVisible(window) ? TRUE : FALSE;
}

BOOL WINAPI SetRect(LPRECT rect, int left, int top, int right, int bottom) {
    if (rect == nullptr) {
        return FALSE;
    }
    rect->left = left;
    rect->top = top;
    rect->right = right;
    rect->bottom = bottom;
    return TRUE;
}
