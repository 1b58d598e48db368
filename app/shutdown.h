// The one teardown of the whole system.
#ifndef ZARVO_APP_SHUTDOWN_H
#define ZARVO_APP_SHUTDOWN_H

// Releases music, then the display, then the scene's light array, each only if still held, so
// any number of calls is safe and a second one calls no library at all. Called by WinMain after
// the main loop and by ErrorBox before every message. May end the process (ReleaseDisplay).
void Shutdown();

#endif
