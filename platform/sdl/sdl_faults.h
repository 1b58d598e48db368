// Faults from outside the program: termination signals, a lost display connection, and X
// protocol errors while a window's drawing is set up.
//
//   InstallFaultHandlers   called once at start-up, before SDL opens the display
//   WatchDisplayConnection called once SDL's video runs: on X11 it learns SDL's connection, so
//                          that the crash handler and XErrorTolerance can reach it
//   SetSignalsCloseWindow  true while the intro's main window exists: SIGTERM and SIGINT then
//                          ask for it to close, as its close button does (the intro's own road
//                          to its end); otherwise they end the program at once, by the signal
//   TakeCloseRequest       true once after each such request; the event pump polls it and
//                          posts WM_CLOSE (the handler itself only sets a flag)
//   XErrorTolerance        while one exists, X protocol errors are counted instead of ending
//                          the program (Xlib's default): the OpenGL set-up of a window fails that
//                          way where no context can be made, and the caller then draws without it
// A lost X connection (the server ends, or the client is killed from outside) ends the program
// within the failing Xlib call: one line on standard error, exit code 1, and no exit handlers
// (they would talk to the dead connection and never return). Libraries that talk to the server
// without Xlib's checks (the OpenGL library reads replies that never came) crash instead; a
// SIGSEGV or SIGBUS on a connection that has ended is reported the same way. Any other crash
// keeps its own course.
#ifndef ZARVO_PLATFORM_SDL_SDL_FAULTS_H
#define ZARVO_PLATFORM_SDL_SDL_FAULTS_H

namespace sdl {

void InstallFaultHandlers();
void WatchDisplayConnection();
void SetSignalsCloseWindow(bool closeWindow);
bool TakeCloseRequest();

class XErrorTolerance {
  public:
    XErrorTolerance();
    ~XErrorTolerance();
    XErrorTolerance(const XErrorTolerance&) = delete;
    XErrorTolerance& operator=(const XErrorTolerance&) = delete;
    // The errors met since this tolerance began, after a round trip that brings in the errors
    // of every request sent so far.
    int Errors();

  private:
    int errorsBefore;
};

} // namespace sdl

#endif
