// The sound configuration dialog: the SDL dialog box with the three choices.
#include "sdl_sound_dialog.h"

#include "sdl_dialog_box.h"

#include <cstdio>
#include <string>

namespace sdl {

using platform::SoundChoice;

SoundChoice AskSoundOutput() {
    enum { kDefault = 0, kNoSound = 1, kCancel = 2 };
    DialogBox box;
    box.title = "Zarvo: sound setup";
    box.message = "Play the music through the default sound output?\n"
                  "(Enter: default output, N: no sound, Escape: cancel)";
    box.buttons = {{"Default output", 'D'}, {"No sound", 'N'}, {"Cancel", 'C'}};
    box.defaultButton = kDefault;
    box.escapeButton = kCancel;
    std::string error;
    switch (RunDialogBox(box, error)) {
    case kDefault:
        return SoundChoice::DefaultOutput;
    case kNoSound:
        return SoundChoice::NoSound;
    case kCancel:
        return SoundChoice::Cancel;
    default:
        // Said aloud, so that a dialog nobody saw never passes for a choice somebody made.
        std::fprintf(stderr,
                     "zarvo: the sound dialog could not be shown (%s); taking the default output\n",
                     error.c_str());
        std::fflush(stderr);
        return SoundChoice::DefaultOutput;
    }
}

} // namespace sdl
