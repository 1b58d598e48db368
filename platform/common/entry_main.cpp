// The process entry point: the runtime start-up code that hands control to WinMain.
//
// Compiled into the programs only (not into the tests, which bring their own main).
#include "platform_startup.h"

#include <windows.h>

int main(int argc, char** argv) {
    const int early = PlatformStartup(argc, argv);
    if (early >= 0) {
        return early;
    }
    // The options belong to the platform (PlatformStartup has taken them); the intro takes none,
    // so its command-line tail is empty.
    static char noOptions[] = "";
    // Any non-null value serves as the module instance: nothing looks inside it.
    static int moduleInstance;
    const auto instance = reinterpret_cast<HINSTANCE>(&moduleInstance);
    const int result = WinMain(instance, nullptr, noOptions, SW_SHOWDEFAULT);
    return PlatformFinish(result);
}
