// The thread's message queue: posted messages, the quit flag, fed by the backend's event pump.
//
// Semantics follow Windows for what the intro relies on:
//   QueuePost      appends a message; messages come out in the order they were posted
//   QueuePostQuit  raises the quit flag; WM_QUIT comes out only once no other matching
//                  message waits
//   QueuePeek      fills msg with the first matching message, removing it with PM_REMOVE
//   QueueGet       blocks until a message matches; returns 0 for WM_QUIT, else 1
//   QueueWait      returns at once when a message waits, else blocks until one arrives
//   QueueSift      hands every posted message `take` wants to it, in order, and removes them;
//                  returns whether anything else (another message, the quit) still waits
//   QueueDispatch  calls the window procedure of the message's window (window_table.h)
// Filters: a null window takes every message, min = max = 0 takes every number.
// Before looking, every call lets the backend's event pump (backend.h) turn its pending events
// into messages; the pump's wait blocks until the backend has an event. Main thread only.
#ifndef ZARVO_PLATFORM_COMMON_MESSAGE_QUEUE_H
#define ZARVO_PLATFORM_COMMON_MESSAGE_QUEUE_H

#include <windows.h>

namespace platform {

bool QueuePost(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void QueuePostQuit(int exitCode);
bool QueuePeek(MSG* msg, HWND window, UINT filterMin, UINT filterMax, UINT removeMsg);
int QueueGet(MSG* msg, HWND window, UINT filterMin, UINT filterMax);
void QueueWait();
bool QueueSift(bool (*take)(const MSG& msg));
LRESULT QueueDispatch(const MSG* msg);

// Forgets every message and the quit flag; for tests.
void QueueReset();

} // namespace platform

#endif
