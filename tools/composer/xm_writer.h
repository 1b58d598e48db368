// The XM file writer: header, packed patterns, instruments with one 16-bit sample each.
#ifndef ZARVO_TOOLS_COMPOSER_XM_WRITER_H
#define ZARVO_TOOLS_COMPOSER_XM_WRITER_H

#include "arrange.h"
#include "song.h"
#include "synth.h"

#include <cstdint>
#include <vector>

namespace compose {

// One cell in XM's packed form: 0x80 alone when empty, otherwise a flag byte naming the fields
// that follow; all five fields present are written unpacked, as FT2 does.
void PackCell(const Cell& cell, std::vector<uint8_t>& out);

// A pattern's packed data (empty when every cell is empty).
std::vector<uint8_t> PackPattern(const Pattern& pattern);

// The whole module. `samples[i]` belongs to `song.instruments[i]`. Throws SongError when a
// pattern packs to more than 65535 bytes.
std::vector<uint8_t> WriteXm(const Song& song, const Arrangement& arrangement,
                             const std::vector<SampleData>& samples);

} // namespace compose

#endif
