// The capture's tables for the platform stand-in (backend.h), filled in by StartBackend
// (capture_startup.cpp) once the options are read and the files are open.
//
//   CaptureWin32    a window nobody sees, whose focus is the application's activation, a pump
//                   fed only by the capture's own stop requests, the recorded picture's size as
//                   the screen's, and message boxes on standard error (capture_win32.cpp)
//   CaptureDisplay  DirectDraw's effects: each copy to the primary surface is one presented
//                   frame, handed to the virtual clock (capture_run.h); nothing else happens
//                   (capture_ddraw.cpp)
//   CaptureSound    the sound output: no question (the one output is the WAV file) and no
//                   device; the music is rendered on the main thread, `fps` frames a second at
//                   `sampleRate`, one frame's span at each presentation (capture_music.h,
//                   capture_midas.cpp)
#ifndef ZARVO_PLATFORM_CAPTURE_CAPTURE_BACKEND_H
#define ZARVO_PLATFORM_CAPTURE_CAPTURE_BACKEND_H

#include "backend.h"
#include "capture_options.h"

namespace capture {

platform::Win32Services CaptureWin32();
platform::DisplayEffects CaptureDisplay();
platform::SoundOutput CaptureSound(const FrameRate& fps, int sampleRate);

} // namespace capture

#endif
