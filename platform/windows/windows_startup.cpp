// The Windows backend's start (backend.h): its one table, the sound output.
//
// The program has no start-up of its own (the system's start-up code calls the intro's WinMain),
// so entry_windows.cpp starts the backend while the program is initialised, before WinMain runs.
// It takes no command line and never ends the program early.
#include "windows_backend.h"

int StartBackend(int /*argc*/, char** /*argv*/, platform::Backend& backend) {
    backend.midas = windows::WindowsSound();
    return -1;
}
