// Small XM modules for the tests, written by the composer's own XM writer: patterns of cells
// laid out row by row, and one looped square-wave instrument.
#ifndef ZARVO_TESTS_COMMON_XM_WRITER_H
#define ZARVO_TESTS_COMMON_XM_WRITER_H

#include "../../tools/composer/song.h"

#include <cstdint>
#include <string>
#include <vector>

namespace xmtest {

// note 1..96 (49 = C-4) or 0, instrument, volume column, effect and parameter, as XM stores them.
using Cell = compose::Cell;

struct Pattern {
    int rows = 64;
    std::vector<std::vector<Cell>> cells; // [row][channel]; missing rows/channels are empty
};

struct Song {
    int channels = 2;
    int speed = 6;
    int bpm = 125;
    int restart = 0;
    std::vector<std::uint8_t> orders{0};
    std::vector<Pattern> patterns;
};

constexpr std::uint8_t kEffectSync = compose::kEffectSync; // Wxx
constexpr std::uint8_t kEffectJump = 0x0B;                 // Bxx
constexpr std::uint8_t kEffectBreak = 0x0D;                // Dxy
constexpr std::uint8_t kEffectExtended = 0x0E;             // Exy
constexpr std::uint8_t kEffectSpeedTempo = 0x0F;           // Fxx

// A pattern of `rows` rows where every row in `syncRows` has a W command in channel 1.
Pattern PatternWithSyncs(int rows, const std::vector<int>& syncRows, int channels = 2);

std::vector<std::uint8_t> BuildXm(const Song& song);
// Writes the module to a file; false when it cannot be written.
bool WriteXm(const Song& song, const std::string& path);

} // namespace xmtest

#endif
