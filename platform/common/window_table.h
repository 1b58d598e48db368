// Window classes and windows as records, followed by the backend's window hooks (backend.h).
//
// The intro's window is a record here; the backend follows it with what it has behind it.
// Handles are small numbers that are never reused, so the handle of a destroyed window stays
// recognisably dead.
//   RegisterWindowClass  stores a class by name; 0 for a null record, a missing procedure or
//                        name, or a name already registered
//   CreateWindowRecord   makes a window of a registered class; null when the class is unknown
//                        or the backend's create hook refuses
//   DestroyWindowRecord  sends WM_DESTROY to the procedure, then the window is dead
//   DefaultWindowProc    DefWindowProcA: WM_CLOSE destroys the window; everything else gives 0
#ifndef ZARVO_PLATFORM_COMMON_WINDOW_TABLE_H
#define ZARVO_PLATFORM_COMMON_WINDOW_TABLE_H

#include "backend.h"

#include <windows.h>

namespace platform {

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

// Forgets every class and window; for tests.
void ResetWindowTable();

} // namespace platform

#endif
