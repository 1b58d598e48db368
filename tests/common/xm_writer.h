// Writes small XM modules for the tests: patterns of cells, one looped square-wave instrument.
#ifndef ZARVO_TESTS_COMMON_XM_WRITER_H
#define ZARVO_TESTS_COMMON_XM_WRITER_H

#include <cstdint>
#include <string>
#include <vector>

namespace xmtest {

struct Cell {
    std::uint8_t note = 0; // 1..96, 49 = C-4; 0 none
    std::uint8_t instrument = 0;
    std::uint8_t volume = 0;
    std::uint8_t effect = 0;
    std::uint8_t parameter = 0;
};

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

constexpr std::uint8_t kEffectSync = 0x20;       // Wxx
constexpr std::uint8_t kEffectJump = 0x0B;       // Bxx
constexpr std::uint8_t kEffectBreak = 0x0D;      // Dxy
constexpr std::uint8_t kEffectExtended = 0x0E;   // Exy
constexpr std::uint8_t kEffectSpeedTempo = 0x0F; // Fxx

// A pattern of `rows` rows where every row in `syncRows` has a W command in channel 1.
Pattern PatternWithSyncs(int rows, const std::vector<int>& syncRows, int channels = 2);

std::vector<std::uint8_t> BuildXm(const Song& song);
// Writes the module to a file; false when it cannot be written.
bool WriteXm(const Song& song, const std::string& path);

} // namespace xmtest

#endif
