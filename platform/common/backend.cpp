// The backend record in force (backend.h).
#include "backend.h"

namespace platform {

// Constant-initialised, so that a program may install its backend before any dynamic
// initialisation has run (entry_windows.cpp does, as the program is initialised).
static Backend installed;

void InstallBackend(const Backend& backend) {
    installed = backend;
}

const Backend& InstalledBackend() {
    return installed;
}

} // namespace platform
