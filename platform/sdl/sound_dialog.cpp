// The sound configuration dialog: an SDL message box with the three choices.
#include "sound_dialog.h"

#include <SDL.h>

namespace live {

SoundChoice AskSoundOutput() {
    enum { kDefault = 1, kNoSound = 2, kCancel = 3 };
    const SDL_MessageBoxButtonData buttons[] = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, kDefault, "Default output"},
        {0, kNoSound, "No sound"},
        {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, kCancel, "Cancel"},
    };
    SDL_MessageBoxData box{};
    box.flags = SDL_MESSAGEBOX_INFORMATION | SDL_MESSAGEBOX_BUTTONS_LEFT_TO_RIGHT;
    box.window = nullptr;
    box.title = "Zarvo: sound setup";
    box.message = "Play the music through the default sound output?\n"
                  "(Enter: default output, Escape: cancel)";
    box.numbuttons = SDL_arraysize(buttons);
    box.buttons = buttons;
    int pressed = -1;
    if (SDL_ShowMessageBox(&box, &pressed) != 0) {
        return SoundChoice::DefaultOutput; // no box possible: take the default
    }
    switch (pressed) {
    case kDefault:
        return SoundChoice::DefaultOutput;
    case kNoSound:
        return SoundChoice::NoSound;
    default:
        return SoundChoice::Cancel; // Cancel, Escape, or the box closed
    }
}

} // namespace live
