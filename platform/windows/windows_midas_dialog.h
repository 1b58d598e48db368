// The sound configuration dialog shown by MIDASconfig: a Windows dialog box from zarvo.rc, all on
// the keyboard, chosen by the waveOut devices the system lists (windows_wave_devices.h):
//   one output   IDD_SOUND_SETUP: "Default output" (Enter, or D), "No sound" (N), and Cancel
//                (Escape, or closing the box)
//   several      IDD_SOUND_OUTPUTS: the same over a drop-down list of them, the preferred one
//                first and selected (the arrow keys pick another); "Play" opens the one picked
//   none         IDD_SOUND_NONE: why nothing can play, "No sound" (Enter, or N) and Cancel
// `device` gets the output picked, as OpenSoundOutput takes it (empty: the default). Where the
// box cannot be shown at all, the default output is the answer (no sound where there is none).
#ifndef ZARVO_PLATFORM_WINDOWS_WINDOWS_MIDAS_DIALOG_H
#define ZARVO_PLATFORM_WINDOWS_WINDOWS_MIDAS_DIALOG_H

#include "backend.h"

#include <string>

namespace windows {

platform::SoundChoice AskSoundOutput(std::string& device);

} // namespace windows

#endif
