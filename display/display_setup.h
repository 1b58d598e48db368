// Display set-up and release: the DirectDraw object, exclusive 320x200x32, the two surfaces.
#ifndef ZARVO_DISPLAY_DISPLAY_SETUP_H
#define ZARVO_DISPLAY_DISPLAY_SETUP_H

// Takes the screen exclusively for the main window, sets 320x200 at 32 bits and creates the
// primary surface and a 320x200 0x00RRGGBB back surface in system memory; sets displayReady.
// Returns 1, or 0 after ErrorBox has reported the failing call (and so released the display
// again). Called once by WinMain, after CreateMainWindow.
int InitDisplay();

// Clears displayReady, gives up exclusive use, restores the desktop mode and releases the
// DirectDraw object, then the primary and back surfaces, each only if held. If the display
// cannot be returned to normal the process ends at once with status 0. Safe to call any time.
void ReleaseDisplay();

#endif
