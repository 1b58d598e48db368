// The sound configuration dialog: the SDL dialog box over the outputs SDL lists.
#include "sdl_sound_dialog.h"

#include <cstdio>
#include <string>

namespace sdl {

using platform::SoundChoice;

namespace {

// The buttons of a box with outputs; a box without any has "No sound" and "Cancel" only.
enum { kPlay = 0, kNoSound = 1, kCancel = 2 };

} // namespace

DialogBox SoundDialogFor(const AudioOutputs& outputs) {
    DialogBox box;
    box.title = "Zarvo: sound setup";
    if (outputs.names.empty()) {
        box.message = "No sound output can be opened:\n" + outputs.reason +
                      ".\nPlay the show without sound?\n(Enter: no sound, Escape: cancel)";
        box.buttons = {{"No sound", 'N'}, {"Cancel", 'C'}};
        box.defaultButton = 0;
        box.escapeButton = 1;
        return box;
    }
    box.defaultButton = kPlay;
    box.escapeButton = kCancel;
    if (outputs.names.size() == 1) {
        box.message = "Play the music through the default sound output?\n"
                      "(Enter: default output, N: no sound, Escape: cancel)";
        box.buttons = {{"Default output", 'D'}, {"No sound", 'N'}, {"Cancel", 'C'}};
        return box;
    }
    box.message = "Play the music through which sound output?\n"
                  "(Up, Down: pick one, Enter: play, N: no sound, Escape: cancel)";
    box.buttons = {{"Play", 'P'}, {"No sound", 'N'}, {"Cancel", 'C'}};
    box.items = outputs.names;
    if (outputs.firstIsDefault) {
        box.items.front() += " (default)";
    }
    box.item = 0;
    return box;
}

SoundChoice SoundAnswerOf(const AudioOutputs& outputs, int button, int item, std::string& device) {
    device.clear();
    if (outputs.names.empty()) {
        return button == 1 ? SoundChoice::Cancel : SoundChoice::NoSound;
    }
    switch (button) {
    case kNoSound:
        return SoundChoice::NoSound;
    case kCancel:
        return SoundChoice::Cancel;
    default:
        break;
    }
    // The default output is opened as the system's default, so that it follows the system's
    // own rules (a headset plugged in later, another default set meanwhile).
    const bool pickedDefault = item <= 0 && outputs.firstIsDefault;
    if (outputs.names.size() > 1 && !pickedDefault && item >= 0 &&
        item < static_cast<int>(outputs.names.size())) {
        device = outputs.names[static_cast<std::size_t>(item)];
    }
    return SoundChoice::Play;
}

SoundChoice AskSoundOutput(std::string& device) {
    const AudioOutputs outputs = ListAudioOutputs();
    const DialogBox box = SoundDialogFor(outputs);
    std::string error;
    int item = 0;
    const int button = RunDialogBox(box, error, &item);
    if (button >= 0) {
        return SoundAnswerOf(outputs, button, item, device);
    }
    // Said aloud, so that a dialog nobody saw never passes for a choice somebody made.
    const bool none = outputs.names.empty();
    std::fprintf(stderr, "zarvo: the sound dialog could not be shown (%s); %s\n", error.c_str(),
                 none ? "no sound output can be opened, the music plays silently"
                      : "taking the default output");
    std::fflush(stderr);
    device.clear();
    return none ? SoundChoice::NoSound : SoundChoice::Play;
}

} // namespace sdl
