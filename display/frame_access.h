// Frame access, text access and presentation on the back surface.
#ifndef ZARVO_DISPLAY_FRAME_ACCESS_H
#define ZARVO_DISPLAY_FRAME_ACCESS_H

// Each returns 1 on success, or 0 after ErrorBox has reported the failing call (and released the
// display); after a 0 the caller stops using the display. Main thread only, while displayReady.
// Per frame: LockFrame, render, UnlockFrame, any number of BeginText..EndText, PresentFrame.

// Locks the whole back surface and sets frameBits and framePitch. A lost surface is restored and
// the lock tried again.
int LockFrame();

// Ends the lock and clears frameBits and framePitch. A lost surface is restored; the unlock is
// not repeated.
int UnlockFrame();

// Lends the back surface to GDI: sets surfaceDC. A lost surface is reported, not restored.
int BeginText();

// Gives surfaceDC back; the stale handle stays in appState.
int EndText();

// Waits for the start of the vertical blank and copies the back surface to the screen. Without a
// vertical-blank wait the frame is dropped; after a lost copy all surfaces are restored and the
// frame is dropped. Either way the show goes on (1).
int PresentFrame();

#endif
