// The main window: a topmost full-screen popup and its window procedure.
#ifndef ZARVO_APP_MAIN_WINDOW_H
#define ZARVO_APP_MAIN_WINDOW_H

#include <windows.h>

// Registers the class, creates the window over the whole screen, shows it and gives it the
// focus; stores the handle in appState.window. Returns 1, or 0 after ErrorBox has reported the
// failure. Called once by WinMain, after InitMusic and before InitDisplay.
int CreateMainWindow();

// Escape closes the window (and so ends the main loop), activation changes pause and resume the
// music, and the cursor is hidden; everything else takes the default handling.
LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

#endif
