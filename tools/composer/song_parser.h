// Reads the song description text (see tools/song/README.md for the language).
#ifndef ZARVO_TOOLS_COMPOSER_SONG_PARSER_H
#define ZARVO_TOOLS_COMPOSER_SONG_PARSER_H

#include "song.h"

#include <stdexcept>
#include <string>

namespace compose {

// A mistake in the song text; what() reads "<file>:<line>: <message>".
struct SongError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Parses a whole song text; `fileName` only labels messages. Throws SongError.
Song ParseSong(const std::string& text, const std::string& fileName);

// Reads a note name such as "C-4", "F#2" or "^" (key-off); returns 0 when it is not one.
int ParseNoteName(const std::string& token);

} // namespace compose

#endif
