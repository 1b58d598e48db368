// Messages that the libraries under SDL would print on standard error before the program's own.
//
//   QuietLibraryMessages  called once before SDL starts: ALSA's error lines (eight of them when
//                         there is no sound card) are dropped, as SDL's error text already says
//                         why no device opened; and where no Wayland connection can be made for
//                         want of a runtime folder, SDL does not try one (libwayland would say
//                         so on standard error) unless SDL_VIDEODRIVER asks for it.
#ifndef ZARVO_PLATFORM_SDL_SDL_LIBRARY_MESSAGES_H
#define ZARVO_PLATFORM_SDL_SDL_LIBRARY_MESSAGES_H

namespace sdl {

void QuietLibraryMessages();

} // namespace sdl

#endif
