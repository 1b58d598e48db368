// Faults from outside the program: termination signals and a lost display connection.
//
//   InstallFaultHandlers   called once at start-up, after SDL has opened the display
//   SetSignalsCloseWindow  true while the intro's main window exists: SIGTERM and SIGINT then
//                          ask for it to close, as its close button does (the intro's own road
//                          to its end); otherwise they end the program at once, by the signal
//   TakeCloseRequest       true once after each such request; the event pump polls it and
//                          posts WM_CLOSE (the handler itself only sets a flag)
// A lost X connection (the server ends, or the client is killed from outside) ends the program
// within the failing Xlib call: one line on standard error, exit code 1, and no exit handlers
// (they would talk to the dead connection and never return).
#ifndef ZARVO_PLATFORM_SDL_SDL_FAULTS_H
#define ZARVO_PLATFORM_SDL_SDL_FAULTS_H

namespace sdl {

void InstallFaultHandlers();
void SetSignalsCloseWindow(bool closeWindow);
bool TakeCloseRequest();

} // namespace sdl

#endif
