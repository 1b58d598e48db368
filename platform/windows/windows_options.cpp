// Command-line parsing of zarvo.exe, and the options in force for the run.
#include "windows_options.h"

#include "option_split.h"

namespace windows {

static WindowsStartOptions current;

const WindowsStartOptions& WindowsOptions() {
    return current;
}

void SetWindowsOptions(const WindowsStartOptions& options) {
    current = options;
}

// A monitor number: a few decimal digits, nothing else.
static bool ParseDisplay(const std::string& text, int& display) {
    if (text.empty() || text.size() > 3) {
        return false;
    }
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
        value = value * 10 + (c - '0');
    }
    display = value;
    return true;
}

static bool ParseSound(const std::string& text, SoundSetting& sound) {
    if (text == "ask") {
        sound = SoundSetting::ask;
    } else if (text == "default") {
        sound = SoundSetting::defaultOutput;
    } else if (text == "none") {
        sound = SoundSetting::none;
    } else {
        return false;
    }
    return true;
}

bool ParseWindowsOptions(const std::vector<std::string>& arguments, WindowsStartOptions& options,
                         std::string& message) {
    options = WindowsStartOptions{};
    // The splitter reads argv as main receives it: the program's name first.
    std::vector<char*> argv{const_cast<char*>("zarvo")};
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    const int argc = static_cast<int>(argv.size());
    std::string arg;
    std::string value;
    for (int i = 1; i < argc; ++i) {
        if (!platform::SplitOption(argc, argv.data(), i, {"--sound", "--display", "--module"}, arg,
                                   value, message)) {
            return false;
        }
        if (arg == "--help" || arg == "-h" || arg == "/?") {
            options.help = true;
        } else if (arg == "--version") {
            options.version = true;
        } else if (arg == "--window") {
            options.windowed = true;
        } else if (arg == "--fullscreen") {
            options.windowed = false;
        } else if (arg == "--sound") {
            if (!ParseSound(value, options.sound)) {
                message = "--sound '" + value + "' is not ask, default or none";
                return false;
            }
        } else if (arg == "--display") {
            if (!ParseDisplay(value, options.display)) {
                message = "--display '" + value + "' is not a monitor number (0 is the first)";
                return false;
            }
        } else if (arg == "--module") {
            if (value.empty()) {
                message = "--module needs a file name";
                return false;
            }
            options.moduleFile = value;
        } else {
            message = "unknown argument '" + arg + "'";
            return false;
        }
    }
    return true;
}

std::string WindowsUsage() {
    return "Usage: zarvo.exe [options]\n"
           "Plays the Zarvo intro: a ray-traced sphere over a mirror floor, with its music.\n"
           "Escape ends it; Alt+Enter switches between the whole screen and a window.\n"
           "\n"
           "  --window           start in a window (it can be resized and maximised)\n"
           "  --fullscreen       start on the whole screen (the default): in the display\n"
           "                     mode of 320x200 where the display offers it, else at the\n"
           "                     desktop's own mode\n"
           "  --sound MODE       ask (default: the sound dialog), default (the default\n"
           "                     output, no dialog) or none (silent, no dialog)\n"
           "  --display N        show it on monitor N (0 is the first)\n"
           "  --module FILE      play FILE in place of the intro's own module Zarvo.xm\n"
           "  --version          the program's version\n"
           "  --help             this text\n";
}

} // namespace windows
