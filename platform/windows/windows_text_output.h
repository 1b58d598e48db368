// Where zarvo.exe's words for the person who started it go (its usage, its version, a wrong
// command line), since a windowed program has no console of its own: the standard output or
// error it was given (a pipe, a file, or the terminal Wine was started from), else the console of
// the command prompt it was started from, else, as when started from Explorer, a message box.
#ifndef ZARVO_PLATFORM_WINDOWS_WINDOWS_TEXT_OUTPUT_H
#define ZARVO_PLATFORM_WINDOWS_WINDOWS_TEXT_OUTPUT_H

#include <string>

namespace windows {

// Shows `text` (lines ending in '\n'); an error goes to the standard error stream, or into a box
// with the error icon.
void ShowText(const std::string& text, bool error);

} // namespace windows

#endif
