// The test modules' XM writer: header, packed patterns and one 8-bit square-wave instrument.
#include "xm_writer.h"

#include <cstring>
#include <fstream>

namespace xmtest {

static void Put8(std::vector<std::uint8_t>& out, unsigned value) {
    out.push_back(static_cast<std::uint8_t>(value));
}

static void Put16(std::vector<std::uint8_t>& out, unsigned value) {
    Put8(out, value & 0xFF);
    Put8(out, (value >> 8) & 0xFF);
}

static void Put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

static void PutText(std::vector<std::uint8_t>& out, const char* text, std::size_t size, char pad) {
    const std::size_t length = std::strlen(text);
    for (std::size_t i = 0; i < size; ++i) {
        Put8(out, static_cast<unsigned char>(i < length ? text[i] : pad));
    }
}

Pattern PatternWithSyncs(int rows, const std::vector<int>& syncRows, int channels) {
    Pattern pattern;
    pattern.rows = rows;
    pattern.cells.assign(static_cast<std::size_t>(rows), std::vector<Cell>(channels));
    for (int row : syncRows) {
        pattern.cells[row][1].effect = kEffectSync;
        pattern.cells[row][1].parameter = static_cast<std::uint8_t>(row);
    }
    // A note on the first row so that the module is heard.
    pattern.cells[0][0].note = 49;
    pattern.cells[0][0].instrument = 1;
    return pattern;
}

static void PutPattern(std::vector<std::uint8_t>& out, const Pattern& pattern, int channels) {
    std::vector<std::uint8_t> data;
    for (int row = 0; row < pattern.rows; ++row) {
        for (int channel = 0; channel < channels; ++channel) {
            Cell cell;
            if (row < static_cast<int>(pattern.cells.size()) &&
                channel < static_cast<int>(pattern.cells[row].size())) {
                cell = pattern.cells[row][channel];
            }
            unsigned flags = 0x80;
            flags |= cell.note != 0 ? 0x01 : 0;
            flags |= cell.instrument != 0 ? 0x02 : 0;
            flags |= cell.volume != 0 ? 0x04 : 0;
            flags |= cell.effect != 0 ? 0x08 : 0;
            flags |= cell.parameter != 0 ? 0x10 : 0;
            Put8(data, flags);
            if (cell.note != 0) {
                Put8(data, cell.note);
            }
            if (cell.instrument != 0) {
                Put8(data, cell.instrument);
            }
            if (cell.volume != 0) {
                Put8(data, cell.volume);
            }
            if (cell.effect != 0) {
                Put8(data, cell.effect);
            }
            if (cell.parameter != 0) {
                Put8(data, cell.parameter);
            }
        }
    }
    Put32(out, 9);
    Put8(out, 0);
    Put16(out, static_cast<unsigned>(pattern.rows));
    Put16(out, static_cast<unsigned>(data.size()));
    out.insert(out.end(), data.begin(), data.end());
}

static void PutSquareInstrument(std::vector<std::uint8_t>& out) {
    constexpr int kFrames = 32;
    Put32(out, 263);
    PutText(out, "square", 22, '\0');
    Put8(out, 0);
    Put16(out, 1);
    Put32(out, 40);
    for (int i = 0; i < 96 + 48 + 48; ++i) {
        Put8(out, 0); // note map, volume and panning envelopes
    }
    for (int i = 0; i < 16; ++i) {
        Put8(out, 0); // envelope counts, points, types, vibrato, fadeout
    }
    for (int i = 0; i < 22; ++i) {
        Put8(out, 0); // reserved
    }
    // Sample header: 32 frames, looped forward, volume 32.
    Put32(out, kFrames);
    Put32(out, 0);
    Put32(out, kFrames);
    Put8(out, 32);
    Put8(out, 0);
    Put8(out, 1);
    Put8(out, 128);
    Put8(out, 0);
    Put8(out, 0);
    PutText(out, "square", 22, '\0');
    // Delta-coded 8-bit square: +64 for half the cycle, -64 for the other half.
    int previous = 0;
    for (int i = 0; i < kFrames; ++i) {
        const int value = i < kFrames / 2 ? 64 : -64;
        Put8(out, static_cast<unsigned>((value - previous) & 0xFF));
        previous = value;
    }
}

std::vector<std::uint8_t> BuildXm(const Song& song) {
    std::vector<std::uint8_t> out;
    PutText(out, "Extended Module: ", 17, ' ');
    PutText(out, "zarvo test", 20, ' ');
    Put8(out, 0x1A);
    PutText(out, "zarvo tests", 20, ' ');
    Put16(out, 0x0104);
    Put32(out, 276);
    Put16(out, static_cast<unsigned>(song.orders.size()));
    Put16(out, static_cast<unsigned>(song.restart));
    Put16(out, static_cast<unsigned>(song.channels));
    Put16(out, static_cast<unsigned>(song.patterns.size()));
    Put16(out, 1);
    Put16(out, 1);
    Put16(out, static_cast<unsigned>(song.speed));
    Put16(out, static_cast<unsigned>(song.bpm));
    for (int i = 0; i < 256; ++i) {
        Put8(out, i < static_cast<int>(song.orders.size()) ? song.orders[i] : 0);
    }
    for (const Pattern& pattern : song.patterns) {
        PutPattern(out, pattern, song.channels);
    }
    PutSquareInstrument(out);
    return out;
}

bool WriteXm(const Song& song, const std::string& path) {
    const std::vector<std::uint8_t> bytes = BuildXm(song);
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

} // namespace xmtest
