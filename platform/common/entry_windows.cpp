// The Windows program's entry: the system's start-up code calls the intro's WinMain itself, so the
// backend is started and installed while the program is initialised, before WinMain runs
// (backend.h).
//
// The Windows backend takes no command line and cannot end the program early; the system ends
// it with WinMain's result.
#include "backend.h"

namespace {

bool StartAndInstall() {
    platform::Backend backend;
    StartBackend(0, nullptr, backend);
    platform::InstallBackend(backend);
    return true;
}

[[maybe_unused]] const bool installed = StartAndInstall();

} // namespace
