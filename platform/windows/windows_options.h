// The command line of zarvo.exe, the same as the Linux program's: how the picture starts, where
// the sound goes, which monitor and which module, the usage and the version.
//
//   ParseWindowsOptions  reads the arguments (without the program's name); false with a message
//                        naming the bad argument (the caller shows it with the usage, exit code 2)
//   WindowsUsage         the --help text
//   WindowsOptions() / SetWindowsOptions   the options in force for this run (set once before
//                        WinMain, read by the display and the sound set-up)
// Options take their value as the next argument or after '=' (--sound=none).
#ifndef ZARVO_PLATFORM_WINDOWS_WINDOWS_OPTIONS_H
#define ZARVO_PLATFORM_WINDOWS_WINDOWS_OPTIONS_H

#include <string>
#include <vector>

namespace windows {

enum class SoundSetting { ask, defaultOutput, none };

struct WindowsStartOptions {
    bool help = false;
    bool version = false;
    bool windowed = false; // a window on the desktop instead of the whole screen
    SoundSetting sound = SoundSetting::ask;
    int display = -1;       // the monitor (0 is the first); -1: the primary one
    std::string moduleFile; // empty: the intro's own module
};

bool ParseWindowsOptions(const std::vector<std::string>& arguments, WindowsStartOptions& options,
                         std::string& message);

std::string WindowsUsage();

const WindowsStartOptions& WindowsOptions();
void SetWindowsOptions(const WindowsStartOptions& options);

} // namespace windows

#endif
