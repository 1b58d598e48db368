// The sound configuration dialog shown by MIDASconfig.
//
// What it offers follows the outputs SDL lists (sdl_audio_output.h), found before it is shown:
//   one output   a small box with three buttons: the default output (taken by Enter), "No sound",
//                and Cancel (taken by Escape or closing the box)
//   several      the same question over a list of them, the system's default first and selected;
//                "Play" opens the one selected
//   none         says why nothing can play, and offers "No sound" (taken by Enter) and Cancel
// Where no box can be shown at all (no display), the default output is the answer (no sound
// when there is none).
//
//   SoundDialogFor  the box for the outputs listed
//   SoundAnswerOf   the choice made by its button and list item, and the output picked (empty:
//                   the default)
#ifndef ZARVO_PLATFORM_SDL_SDL_SOUND_DIALOG_H
#define ZARVO_PLATFORM_SDL_SDL_SOUND_DIALOG_H

#include "backend.h"
#include "sdl_audio_output.h"
#include "sdl_dialog_box.h"

#include <string>

namespace sdl {

DialogBox SoundDialogFor(const AudioOutputs& outputs);
platform::SoundChoice SoundAnswerOf(const AudioOutputs& outputs, int button, int item,
                                    std::string& device);

platform::SoundChoice AskSoundOutput(std::string& device);

} // namespace sdl

#endif
