// The sound configuration dialog shown by MIDASconfig.
//
// A small box with three buttons: the default output (taken by Enter), "No sound", and Cancel
// (taken by Escape or closing the box). Where no box can be shown at all (no display), the
// default output is the answer.
#ifndef ZARVO_PLATFORM_SDL_SDL_SOUND_DIALOG_H
#define ZARVO_PLATFORM_SDL_SDL_SOUND_DIALOG_H

#include "backend.h"

namespace sdl {

platform::SoundChoice AskSoundOutput();

} // namespace sdl

#endif
