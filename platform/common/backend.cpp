// The backend record in force (backend.h).
#include "backend.h"

namespace platform {

// Constant-initialised: an empty record until the entry installs the backend's.
static Backend installed;

void InstallBackend(const Backend& backend) {
    installed = backend;
}

const Backend& InstalledBackend() {
    return installed;
}

} // namespace platform
