// The command line of zarvo: how the window starts, where the sound goes, which monitor and
// which module.
//
//   ParseLiveOptions  reads argv; false with a message naming the bad argument (the caller
//                     prints it with the usage and exits 2)
//   LiveUsage         the --help text
//   LiveOptions() / SetLiveOptions   the options in force for this run (set once at start-up,
//                     read by the window, the sound set-up and the module loading)
// Options take their value as the next argument or after '=' (--sound=none).
#ifndef ZARVO_PLATFORM_SDL_LIVE_OPTIONS_H
#define ZARVO_PLATFORM_SDL_LIVE_OPTIONS_H

#include <string>

namespace live {

enum class SoundSetting { ask, defaultOutput, none };

struct LiveStartOptions {
    bool help = false;
    bool version = false;
    bool windowed = false; // start in a window instead of fullscreen
    SoundSetting sound = SoundSetting::ask;
    int display = -1;       // the monitor (0 is the first); -1: where the desktop puts it
    std::string moduleFile; // empty: the intro's own module
};

bool ParseLiveOptions(int argc, char** argv, LiveStartOptions& options, std::string& message);

std::string LiveUsage(const char* programName);

const LiveStartOptions& LiveOptions();
void SetLiveOptions(const LiveStartOptions& options);

} // namespace live

#endif
