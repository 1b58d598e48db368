// The process entry point: starts the program's backend, installs it, and hands control to
// WinMain, as the runtime start-up code of Windows does (backend.h).
//
// Compiled into the programs only (not into the tests, which bring their own main). On Windows
// mingw's start-up code calls this main in a windowed program too, after every static object is
// constructed, in place of the runtime's own main that would call WinMain at once.
#include "backend.h"

#include <windows.h>

int main(int argc, char** argv) {
    platform::Backend backend;
    const int early = StartBackend(argc, argv, backend);
    if (early >= 0) {
        return early;
    }
    platform::InstallBackend(backend);
    // The options belong to the backend (StartBackend has taken them); the intro takes none, so
    // its command-line tail is empty.
    static char noOptions[] = "";
#ifdef _WIN32
    // The system's own: the intro loads its icon and dialog from the program's resources.
    const HINSTANCE instance = GetModuleHandleA(nullptr);
#else
    // Any non-null value serves as the module instance: nothing looks inside it.
    static int moduleInstance;
    const auto instance = reinterpret_cast<HINSTANCE>(&moduleInstance);
#endif
    const int result = WinMain(instance, nullptr, noOptions, SW_SHOWDEFAULT);
    return backend.finish != nullptr ? backend.finish(result) : result;
}
