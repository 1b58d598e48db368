// The live program's frame log: with ZARVO_FRAME_LOG naming a file, one line for every picture
// that goes up and one for every pace taken, so that the speed of a run can be read afterwards
// (the end-to-end tests read it).
//
//   OpenFrameLog   opens (truncates) the file ZARVO_FRAME_LOG names, if it names one; `turns`
//                  gives the light's turns as the show recorded them for the frame
//   LogPace        "# pace: <the plan in words>"
//   LogFrame       "<seconds> <turns>": the steady clock's seconds when a picture went up, and
//                  the light's turns it was drawn at
//   CloseFrameLog  closes the file (also done at exit)
// Main thread only.
#ifndef ZARVO_PLATFORM_SDL_SDL_FRAME_LOG_H
#define ZARVO_PLATFORM_SDL_SDL_FRAME_LOG_H

#include <cstdint>
#include <string>

namespace sdl {

void OpenFrameLog(std::uint32_t (*turns)());
void LogPace(const std::string& plan);
void LogFrame();
void CloseFrameLog();

} // namespace sdl

#endif
