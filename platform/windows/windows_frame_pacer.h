// The wait before each frame goes up on Windows, by the show's pace rule (frame_pace.h):
// the display's own wait for its vertical blank as many times as the rule says, or a clock where
// that wait returns at once (Wine's, or a driver's that does not wait) or there is none.
//
//   SetPaceRefreshRate  the refresh rate of the display the frames go to (0: unknown); called
//                       when the display mode is known
//   PaceFrame           waits until the next frame is due; `waitForBlank` is the display's own
//                       wait (null: there is none, the clock paces), called with `context`, and
//                       what it returns when it fails is returned (DD_OK otherwise)
//   PaceDescription     the pace in force, in words, for the debugger's output
// The pace asked for is the --fps of platform::CurrentStartOptions(). ZARVO_TEST_REFRESH_HZ
// stands for a display at that rate whose refreshes the clock makes (the Wine tests' display).
// Main thread only.
#ifndef ZARVO_PLATFORM_WINDOWS_WINDOWS_FRAME_PACER_H
#define ZARVO_PLATFORM_WINDOWS_WINDOWS_FRAME_PACER_H

#include <windows.h>

#include <string>

namespace windows {

using BlankWait = HRESULT (*)(void* context);

void SetPaceRefreshRate(double refreshRate);
HRESULT PaceFrame(BlankWait waitForBlank, void* context);
std::string PaceDescription();

} // namespace windows

#endif
