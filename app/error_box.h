// The one way a failure is reported to the user.
#ifndef ZARVO_APP_ERROR_BOX_H
#define ZARVO_APP_ERROR_BOX_H

// Formats a printf-style message (cut at 1023 characters), runs Shutdown so the desktop is back
// and the sound has stopped, then shows the text in a modal box captioned "Error", owned by the
// main window if it still exists and is visible. Returns when the box is dismissed; the caller
// then returns 0. Main thread only.
void ErrorBox(const char* format, ...);

#endif
