// Command-line parsing of the programs that show the intro, and the options in force for the run.
#include "start_options.h"

#include "option_split.h"
#include "study_keys.h"

namespace platform {

static StartOptions current;

const StartOptions& CurrentStartOptions() {
    return current;
}

void SetStartOptions(const StartOptions& options) {
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

bool ParseStartOptions(int argc, char** argv, StartOptions& options, std::string& message) {
    options = StartOptions{};
    std::string arg;
    std::string value;
    for (int i = 1; i < argc; ++i) {
        if (!SplitOption(argc, argv, i, {"--sound", "--display", "--module", "--fps"}, arg, value,
                         message)) {
            return false;
        }
        // "/?" is how Windows programs are asked for their usage.
        if (arg == "--help" || arg == "-h" || arg == "/?") {
            options.help = true;
        } else if (arg == "--version") {
            options.version = true;
        } else if (arg == "--window") {
            options.windowed = true;
        } else if (arg == "--study") {
            options.study = true;
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
        } else if (arg == "--fps") {
            if (!ParsePace(value.c_str(), options.pace)) {
                message = "--fps '" + value + "' is not display or a number from 1 to 1000";
                return false;
            }
        } else {
            message = "unknown argument '" + arg + "'";
            return false;
        }
    }
    return true;
}

// The study's keys, indented under --study.
static std::string StudyKeysIndented() {
    std::string text;
    bool lineStart = true;
    for (const char* c = StudyKeysText(); *c != '\0'; ++c) {
        if (lineStart) {
            text += "                       ";
        }
        text += *c;
        lineStart = *c == '\n';
    }
    return text;
}

std::string StartUsage(const std::string& programName, const char* fullscreenHelp, bool study) {
    return "Usage: " + programName +
           " [options]\n"
           "Plays the Zarvo intro: a ray-traced sphere over a mirror floor, with its music.\n"
           "Escape ends it; Alt+Enter switches between fullscreen and a window.\n"
           "\n"
           "  --window           start in a window (it can be resized and maximised)\n"
           "  --fullscreen       " +
           fullscreenHelp +
           "  --sound MODE       ask (default: the sound dialog), default (the default\n"
           "                     output, no dialog) or none (silent, no dialog)\n"
           "  --display N        show it on monitor N (0 is the first)\n"
           "  --module FILE      play FILE in place of the intro's own module Zarvo.xm\n"
           "  --fps N|display    the show's pace: a frame every k-th refresh, for the k that\n"
           "                     comes nearest N frames a second (by default nearest 70: 60\n"
           "                     on a 60 or 120 Hz display, 72 on 144 Hz; 60 where the\n"
           "                     refresh cannot be followed); display: every refresh\n" +
           (study ? "  --study            study mode: pause, step, seek and look inside the show,\n"
                    "                     with these keys (stills go to the working folder):\n" +
                        StudyKeysIndented()
                  : std::string()) +
           "  --version          the program's version\n"
           "  --help             this text\n";
}

} // namespace platform
