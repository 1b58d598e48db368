// The sound configuration dialog shown by MIDASconfig: a Windows dialog box (resource
// IDD_SOUND_SETUP in zarvo.rc) with three buttons, all on the keyboard: "Default output" (Enter,
// or D), "No sound" (N), and Cancel (Escape, or closing the box). Where the box cannot be shown
// at all, the default output is the answer.
#ifndef ZARVO_PLATFORM_WINDOWS_WINDOWS_MIDAS_DIALOG_H
#define ZARVO_PLATFORM_WINDOWS_WINDOWS_MIDAS_DIALOG_H

#include "backend.h"

namespace windows {

platform::SoundChoice AskSoundOutput();

} // namespace windows

#endif
