// The command line of zarvo: how the window starts, where the sound goes, which monitor, which
// module and the pace of the show.
//
//   ParseSdlOptions  reads argv; false with a message naming the bad argument (the caller
//                     prints it with a pointer to --help and exits 2)
//   SdlUsage         the --help text
//   SdlOptions() / SetSdlOptions   the options in force for this run (set once at start-up,
//                     read by the window, the sound set-up, the module loading and the screen)
// Options take their value as the next argument or after '=' (--sound=none).
#ifndef ZARVO_PLATFORM_SDL_SDL_OPTIONS_H
#define ZARVO_PLATFORM_SDL_SDL_OPTIONS_H

#include "frame_pace.h"

#include <string>

namespace sdl {

enum class SoundSetting { ask, defaultOutput, none };

struct SdlStartOptions {
    bool help = false;
    bool version = false;
    bool windowed = false; // start in a window instead of fullscreen
    bool study = false;    // the study mode's keys and overlays (study_mode.h)
    SoundSetting sound = SoundSetting::ask;
    int display = -1;           // the monitor (0 is the first); -1: where the desktop puts it
    std::string moduleFile;     // empty: the intro's own module
    platform::PaceRequest pace; // --fps: the show's own pace unless given
};

bool ParseSdlOptions(int argc, char** argv, SdlStartOptions& options, std::string& message);

std::string SdlUsage(const char* programName);

const SdlStartOptions& SdlOptions();
void SetSdlOptions(const SdlStartOptions& options);

} // namespace sdl

#endif
