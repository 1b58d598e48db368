// Window classes and windows as records, with the backend's hooks for the real thing behind them.
//
// The intro's window is a record here; each backend follows it through the hooks with what it has
// behind it (a desktop window, the page, nothing but its own state). Handles are small numbers
// that are never reused, so the handle of a destroyed window stays recognisably dead.
//   RegisterWindowClass  stores a class by name; 0 for a null record, a missing procedure or
//                        name, or a name already registered
//   CreateWindowRecord   makes a window of a registered class; null when the class is unknown
//                        or the backend's create hook refuses
//   DestroyWindowRecord  sends WM_DESTROY to the procedure, then the window is dead
//   DefaultWindowProc    DefWindowProcA: WM_CLOSE destroys the window; everything else gives 0
#ifndef ZARVO_PLATFORM_COMMON_WINDOW_TABLE_H
#define ZARVO_PLATFORM_COMMON_WINDOW_TABLE_H

#include <windows.h>

#include <string>

namespace platform {

struct WindowRecord {
    std::string className;
    std::string title;
    WNDPROC proc = nullptr;
    HICON icon = nullptr;
    DWORD style = 0;
    DWORD exStyle = 0;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool alive = false;
    bool visible = false;
};

struct WindowHooks {
    bool (*create)(HWND window, const WindowRecord& record) = nullptr; // false refuses creation
    void (*show)(HWND window, bool visible) = nullptr;
    void (*focus)(HWND window) = nullptr;
    void (*destroy)(HWND window) = nullptr;
};

void SetWindowHooks(const WindowHooks& hooks);

ATOM RegisterWindowClass(const WNDCLASSA* wndClass);
HWND CreateWindowRecord(DWORD exStyle, const char* className, const char* title, DWORD style, int x,
                        int y, int width, int height);
void DestroyWindowRecord(HWND window);
LRESULT DefaultWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

bool WindowIsAlive(HWND window);
bool WindowIsVisible(HWND window);
// Shows or hides a live window; returns whether it was visible before.
bool SetWindowVisible(HWND window, bool visible);
// Gives a live window the keyboard; returns the window that had it (null when none).
HWND FocusWindow(HWND window);
WNDPROC WindowProcedure(HWND window); // null for a dead window

// Forgets every class and window and the hooks; for tests.
void ResetWindowTable();

} // namespace platform

#endif
