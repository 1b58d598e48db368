// The composer's whole road from song text to module bytes.
#ifndef ZARVO_TOOLS_COMPOSER_COMPOSE_H
#define ZARVO_TOOLS_COMPOSER_COMPOSE_H

#include <cstdint>
#include <string>
#include <vector>

namespace compose {

// Parses, synthesizes, arranges and writes. Throws SongError on a mistake in the song.
std::vector<uint8_t> ComposeModule(const std::string& songText, const std::string& fileName);

} // namespace compose

#endif
