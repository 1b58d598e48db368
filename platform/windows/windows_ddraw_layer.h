// The DirectDraw the intro meets on Windows: the system's own, through a thin layer of ours.
//
// Where the display offers the intro's mode and nothing says otherwise, every call goes to the
// system as it is, and the intro has the screen to itself in that mode. Where it does not (or
// with --window), the layer keeps the desktop's mode: the intro's window is shown over the
// whole monitor or as a window on the desktop (windows_view.h), its primary surface is the
// layer's own (windows_shared_primary.h), and every other call goes to the system in the
// desktop's shared mode. In both, the wait for the vertical blank is the show's pace
// (windows_frame_pacer.h).
//
//   WrapDirectDraw  the layer's IDirectDraw over the system's `system` (whose reference it takes):
//                   its QueryInterface for IDirectDraw4 gives the layer's IDirectDraw4
#ifndef ZARVO_PLATFORM_WINDOWS_WINDOWS_DDRAW_LAYER_H
#define ZARVO_PLATFORM_WINDOWS_WINDOWS_DDRAW_LAYER_H

#include <windows.h>

#include <ddraw.h>

namespace windows {

struct DisplayChoice {
    bool shared = false;   // keep the desktop's mode
    bool windowed = false; // in a window (shared only)
    int display = -1;      // the monitor (-1: the primary one)
};

IDirectDraw* WrapDirectDraw(IDirectDraw* system, const DisplayChoice& choice);

} // namespace windows

#endif
