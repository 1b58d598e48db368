// The process entry point: the runtime start-up code that hands control to WinMain.
//
// Compiled into the programs only (not into the tests, which bring their own main).
#include "platform_startup.h"

#include <windows.h>

#include <string>

int main(int argc, char** argv) {
    const int early = PlatformStartup(argc, argv);
    if (early >= 0) {
        return early;
    }
    // The command-line tail: the arguments after the program name, separated by spaces.
    std::string tail;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) {
            tail += ' ';
        }
        tail += argv[i];
    }
    // Any non-null value serves as the module instance: nothing looks inside it.
    static int moduleInstance;
    const auto instance = reinterpret_cast<HINSTANCE>(&moduleInstance);
    const int result = WinMain(instance, nullptr, tail.data(), SW_SHOWDEFAULT);
    return PlatformFinish(result);
}
