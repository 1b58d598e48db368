// The web backend's tables for the platform stand-in (backend.h), filled in by StartBackend
// (web_startup.cpp) with the font face built into the program (gdi_font.h).
//
//   WebWin32    the intro's one window is the page's picture: the page's events become its
//               messages (web_events.h), the pointer over the picture follows the cursor, the
//               screen's size is the page's, and the message box is a box in the page with the
//               text on the console (web_win32.cpp)
//   WebDisplay  DirectDraw's effects: the page's canvas as the screen, never lost (a canvas keeps
//               its pixels); the refresh wait is the browser's animation frame, k of them a
//               frame by the show's pace (web_ddraw.cpp)
//   SetWebPace  the show's pace asked for (--fps; the show's own when never called)
//   WebSound    the sound output: MIDASconfig is the page's first screen; the music plays through
//               WebAudio, or on the page's timer when silence was chosen or there is no WebAudio
//               (said on the console). The page renders on the program's one thread, while the
//               intro waits, so the library never waits for a ramp to be rendered (web_midas.cpp)
#ifndef ZARVO_PLATFORM_WEB_WEB_BACKEND_H
#define ZARVO_PLATFORM_WEB_WEB_BACKEND_H

#include "backend.h"
#include "frame_pace.h"

namespace web {

platform::Win32Services WebWin32();
platform::DisplayEffects WebDisplay();
void SetWebPace(const platform::PaceRequest& pace);
platform::SoundOutput WebSound();

} // namespace web

#endif
