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
        if (!platform::SplitOption(argc, argv.data(), i, {"--sound", "--module"}, arg, value,
                                   message)) {
            return false;
        }
        if (arg == "--help" || arg == "-h" || arg == "/?") {
            options.help = true;
        } else if (arg == "--version") {
            options.version = true;
        } else if (arg == "--sound") {
            if (!ParseSound(value, options.sound)) {
                message = "--sound '" + value + "' is not ask, default or none";
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
           "Escape ends it.\n"
           "\n"
           "  --sound MODE       ask (default: the sound dialog), default (the default\n"
           "                     output, no dialog) or none (silent, no dialog)\n"
           "  --module FILE      play FILE in place of the intro's own module Zarvo.xm\n"
           "  --version          the program's version\n"
           "  --help             this text\n";
}

} // namespace windows
