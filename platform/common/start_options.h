// The command line the programs that show the intro share (zarvo and zarvo.exe): how the
// picture starts, where the sound goes, which monitor, which module and the show's pace.
//
//   ParseStartOptions  reads argv; false with a message naming the bad argument (the caller
//                      says it and exits 2)
//   StartUsage         the --help text for the program `programName`; `fullscreenHelp` says
//                      what the whole screen is on its system (lines after the option's name);
//                      `study`: the program has the study mode (--study and its keys listed)
//   CurrentStartOptions() / SetStartOptions   the options in force for this run (set once at
//                      start-up, read by the window, the sound set-up and the screen)
// Options take their value as the next argument or after '=' (--sound=none).
#ifndef ZARVO_PLATFORM_COMMON_START_OPTIONS_H
#define ZARVO_PLATFORM_COMMON_START_OPTIONS_H

#include "frame_pace.h"

#include <string>

namespace platform {

enum class SoundSetting { ask, defaultOutput, none };

struct StartOptions {
    bool help = false;
    bool version = false;
    bool windowed = false; // start in a window instead of the whole screen
    bool study = false;    // the study mode's keys and overlays (study_mode.h)
    SoundSetting sound = SoundSetting::ask;
    int display = -1;       // the monitor (0 is the first); -1: where the desktop puts it
    std::string moduleFile; // empty: the intro's own module
    PaceRequest pace;       // --fps: the show's own pace unless given
};

bool ParseStartOptions(int argc, char** argv, StartOptions& options, std::string& message);

std::string StartUsage(const std::string& programName, const char* fullscreenHelp, bool study);

const StartOptions& CurrentStartOptions();
void SetStartOptions(const StartOptions& options);

} // namespace platform

#endif
