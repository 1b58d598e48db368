// The Windows backend's start (backend.h): the command line, then its one table, the sound
// output.
//
// The entry's main runs it after every static object is constructed. --help, --version and a
// wrong command line end the program here; every other Win32, GDI and DirectDraw call of the
// intro goes to the system (through the DirectDraw layer, windows_ddraw_layer.h).
//
// Exit codes: 0 after --help or --version (and on the intro's own roads); 2 for a wrong command
// line, with the reason and the usage.
#include "module_file.h"
#include "windows_backend.h"
#include "start_options.h"
#include "windows_study.h"
#include "windows_text_output.h"
#include "windows_view.h"

#include <windows.h>

#include <string>

namespace windows {

constexpr int kUsageExit = 2;

// The project's version, given by the build.
constexpr const char* kVersion = ZARVO_VERSION;

static std::string Usage() {
    return platform::StartUsage(
        "zarvo.exe",
        "start on the whole screen (the default): in the display\n"
        "                     mode of 320x200 where the display offers it, else at the\n"
        "                     desktop's own mode\n",
        true);
}

// -1 to go on to the show, else the exit code.
static int ReadCommandLine(int argc, char** argv) {
    // The runtime gives the arguments in the code page the C library opens files in.
    platform::StartOptions options;
    std::string message;
    if (!platform::ParseStartOptions(argc, argv, options, message)) {
        ShowText("zarvo: " + message + "\n\n" + Usage(), true);
        return kUsageExit;
    }
    if (options.help) {
        ShowText(Usage(), false);
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
    platform::SetStartOptions(options);
    if (!options.moduleFile.empty()) {
        platform::SetModuleFileOverride(options.moduleFile);
    }
    return -1;
}

} // namespace windows

int StartBackend(int argc, char** argv, platform::Backend& backend) {
    const int early = windows::ReadCommandLine(argc, argv);
    if (early >= 0) {
        return early;
    }
    backend.midas = windows::WindowsSound();
    if (platform::CurrentStartOptions().study) {
        windows::StartStudy();
    }
    return -1;
}
