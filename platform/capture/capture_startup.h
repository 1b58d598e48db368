// Set-up of the capture program around WinMain (capture_startup.cpp defines PlatformStartup and
// PlatformFinish of platform_startup.h).
//
//   InstallCaptureWindow  the window hooks and the event pump (capture_win32.cpp)
//   InstallCaptureDisplay the DirectDraw effects: each presented frame to the clock
//   (capture_ddraw.cpp)
#ifndef ZARVO_PLATFORM_CAPTURE_CAPTURE_STARTUP_H
#define ZARVO_PLATFORM_CAPTURE_CAPTURE_STARTUP_H

namespace capture {

void InstallCaptureWindow();
void InstallCaptureDisplay();

} // namespace capture

#endif
