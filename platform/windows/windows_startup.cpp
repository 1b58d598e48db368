// The entry point of zarvo.exe: the command line, then the intro's WinMain.
//
// mingw's start-up code calls main in a windowed program too, whose own (in the runtime library)
// would call WinMain at once; this one takes the options first, after every static object is
// constructed. --help, --version and a wrong command line end the program here.
//
// Exit codes: 0 after --help or --version (and on the intro's own roads); 2 for a wrong command
// line, with the reason and the usage.
#include "module_file.h"
#include "windows_options.h"
#include "windows_text_output.h"
#include "windows_view.h"

#include <windows.h>

#include <string>
#include <vector>

namespace windows {

constexpr int kUsageExit = 2;

// The project's version, given by the build.
constexpr const char* kVersion = ZARVO_VERSION;

// -1 to go on to the show, else the exit code.
static int ReadCommandLine(int argc, char** argv) {
    // The runtime gives the arguments in the code page the C library opens files in.
    const std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
    WindowsStartOptions options;
    std::string message;
    if (!ParseWindowsOptions(arguments, options, message)) {
        ShowText("zarvo: " + message + "\n\n" + WindowsUsage(), true);
        return kUsageExit;
    }
    if (options.help) {
        ShowText(WindowsUsage(), false);
        return 0;
    }
    if (options.version) {
        ShowText(std::string("zarvo ") + kVersion + "\n", false);
        return 0;
    }
    const int monitors = MonitorCount();
    if (options.display >= monitors) {
        ShowText("zarvo: --display " + std::to_string(options.display) + ": there is no monitor " +
                     std::to_string(options.display) + " (monitors: 0 to " +
                     std::to_string(monitors - 1) + ")\n",
                 true);
        return kUsageExit;
    }
    SetWindowsOptions(options);
    if (!options.moduleFile.empty()) {
        platform::SetModuleFileOverride(options.moduleFile);
    }
    return -1;
}

} // namespace windows

int main(int argc, char** argv) {
    const int early = windows::ReadCommandLine(argc, argv);
    if (early >= 0) {
        return early;
    }
    // The options belong to the platform; the intro takes none, so its command-line tail is
    // empty.
    static char noOptions[] = "";
    return WinMain(GetModuleHandleA(nullptr), nullptr, noOptions, SW_SHOWDEFAULT);
}
