// USER32 message functions over the shared message queue and window table.
#include "message_queue.h"
#include "window_table.h"

#include <windows.h>

BOOL WINAPI PeekMessageA(LPMSG msg, HWND window, UINT filterMin, UINT filterMax, UINT removeMsg) {
    return platform::QueuePeek(msg, window, filterMin, filterMax, removeMsg) ? TRUE : FALSE;
}

BOOL WINAPI GetMessageA(LPMSG msg, HWND window, UINT filterMin, UINT filterMax) {
    return platform::QueueGet(msg, window, filterMin, filterMax);
}

BOOL WINAPI TranslateMessage(const MSG* /*msg*/) {
    // Only WM_KEYDOWN is looked at, and no character messages are wanted from it.
    return FALSE;
}

LRESULT WINAPI DispatchMessageA(const MSG* msg) {
    return platform::QueueDispatch(msg);
}

BOOL WINAPI WaitMessage(void) {
    platform::QueueWait();
    return TRUE;
}

BOOL WINAPI PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return platform::QueuePost(window, message, wParam, lParam) ? TRUE : FALSE;
}

void WINAPI PostQuitMessage(int exitCode) {
    platform::QueuePostQuit(exitCode);
}

LRESULT WINAPI DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return platform::DefaultWindowProc(window, message, wParam, lParam);
}
