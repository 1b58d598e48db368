// The live program's pace: which of the display's refreshes each picture goes up on, after the
// show's rule (frame_pace.h).
//
//   StartPace      for a new renderer: `vsync` whether its presents wait for the refresh,
//                  `refreshRate` the display's (0: unknown). The pace asked for is the --fps of
//                  platform::CurrentStartOptions(). ZARVO_TEST_REFRESH_HZ, when set to a rate,
//                  stands for a display at that rate whose refreshes a timer makes (the tests'
//                  fixed refresh on a virtual display); RefreshIsEmulated then says so, and the
//                  renderer should not wait for vsync itself
//   PaceForFrame   WaitForVerticalBlank: returns when the next picture is due. With vsync and a
//                  frame of n refreshes, `repeat` presents the last picture again n - 1 times
//                  (the picture's own present waits for the n-th); otherwise a timer holds the
//                  program until the picture's refresh on a fixed grid (a late frame takes the
//                  next refresh of the grid, never a burst to catch up)
//   NotePresent    after every present of the renderer: a renderer that claims vsync but keeps
//                  returning well inside a refresh does not wait (e.g. on a virtual display), and
//                  the timer takes over
// The plan in force, and every change of it, goes to the frame log (sdl_frame_log.h).
// Main thread only.
#ifndef ZARVO_PLATFORM_SDL_SDL_PACE_H
#define ZARVO_PLATFORM_SDL_SDL_PACE_H

#include "frame_pace.h"

namespace sdl {

double EmulatedRefreshRate(); // ZARVO_TEST_REFRESH_HZ, or 0
void StartPace(bool vsync, double refreshRate);
void PaceForFrame(bool (*repeat)());
void NotePresent();
platform::PacePlan PaceInForce();

} // namespace sdl

#endif
