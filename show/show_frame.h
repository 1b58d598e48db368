// The show's timetable: one frame per call, phase and animation decided by the music's clock.
#ifndef ZARVO_SHOW_SHOW_FRAME_H
#define ZARVO_SHOW_SHOW_FRAME_H

#include <windows.h>

// Produces one frame and hands it to PresentFrame: the opening title, a main frame (sphere placed
// by syncCount, scene rendered, title and captions), a fade frame or a hold frame. Returns 1 to
// go on, 0 at the show's end or after a failure (already reported where a message is due).
// Called by the main loop only while displayReady and appActive are both 1.
int ShowFrame();

// syncCount as read right after the last main-phase frame was presented; the end phase measures
// its fade window from here.
extern DWORD lastMainTick;

#endif
