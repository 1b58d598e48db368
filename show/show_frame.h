// The show's timetable: one frame per call, phase and animation decided by the music's clock.
#ifndef ZARVO_SHOW_SHOW_FRAME_H
#define ZARVO_SHOW_SHOW_FRAME_H

#include <windows.h>

// Produces one frame and hands it to PresentFrame: the opening title, a main frame (sphere placed
// by syncCount, scene rendered, title and captions), a fade frame or a hold frame. Returns 1 to
// go on, 0 at the show's end or after a failure (already reported where a message is due).
// Called by the main loop only while displayReady and appActive are both 1.
int ShowFrame();

// The phases of the show, in the order they come.
enum ShowPhase : DWORD { kPhaseOpening = 0, kPhaseMain = 1, kPhaseFade = 2, kPhaseHold = 3 };

// What the show is making, for whoever watches it. ShowFrame writes it as it decides a frame's
// phase, before the frame is drawn, so that it holds while the frame is presented; it starts
// zeroed (the opening, nothing turned). Main thread only.
struct ShowRecord {
    ShowPhase phase;  // the phase of the frame being made, or of the last one
    DWORD clock;      // syncCount as read when that phase was decided
    DWORD lightTurns; // turns light 1 had made before that frame: its place in the picture
};

extern ShowRecord showRecord;

#endif
