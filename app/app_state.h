// The shell's global state: window, display objects, frame access, music handles and the clock.
#ifndef ZARVO_APP_APP_STATE_H
#define ZARVO_APP_APP_STATE_H

#include <atomic>

#include <windows.h>
#include <ddraw.h>
#include <midasdll.h>

// Everything here lives for the whole run and starts zeroed. Only the main thread touches it,
// except syncCount, which the sound library's playback thread increments (MusicSyncCallback) and
// the main thread reads whole, without a lock.
struct AppState {
    HINSTANCE instance;                  // module instance, stored by WinMain
    HWND window;                         // the main window (CreateMainWindow)
    int appActive;                       // 1 while this application is the active one
    IDirectDraw4* directDraw;            // one reference each, given up by ReleaseDisplay
    IDirectDrawSurface4* primarySurface; // the visible screen
    IDirectDrawSurface4* backSurface;    // 320x200x32 in system memory
    int displayReady;                    // 1 from a successful InitDisplay to ReleaseDisplay
    DWORD* frameBits;                    // top-left pixel while the back surface is locked
    LONG framePitch;                     // bytes from one row to the next while locked
    HDC surfaceDC;                       // the back surface's context between BeginText/EndText
    DWORD musicStage;                    // how far InitMusic got; selects what ShutdownMusic frees
    MIDASmodule module;
    MIDASmodulePlayHandle playHandle;
    std::atomic<DWORD> syncCount; // music sync callbacks since playback began; never reset
};

extern AppState appState;

#endif
