// The tests' songs handed to the composer's XM writer, with one square-wave instrument.
#include "xm_writer.h"

#include "../../tools/composer/xm_writer.h"

#include <fstream>

namespace xmtest {

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

std::vector<std::uint8_t> BuildXm(const Song& song) {
    compose::Song module;
    module.title = "zarvo test";
    module.speed = song.speed;
    module.bpm = song.bpm;
    module.restart = song.restart;
    compose::Instrument square;
    square.name = "square";
    square.volume = 32;
    module.instruments.push_back(square);

    compose::Arrangement arrangement;
    arrangement.channels = song.channels;
    arrangement.order.assign(song.orders.begin(), song.orders.end());
    for (const Pattern& pattern : song.patterns) {
        compose::Pattern grid;
        grid.rows = pattern.rows;
        grid.channels = song.channels;
        grid.cells.resize(static_cast<std::size_t>(pattern.rows * song.channels));
        for (std::size_t row = 0; row < pattern.cells.size(); ++row) {
            for (std::size_t channel = 0; channel < pattern.cells[row].size(); ++channel) {
                grid.cells[row * static_cast<std::size_t>(song.channels) + channel] =
                    pattern.cells[row][channel];
            }
        }
        arrangement.patterns.push_back(grid);
    }

    // A looped square wave of 32 frames: half a cycle up, half down.
    compose::SampleData sample;
    for (int i = 0; i < 32; ++i) {
        sample.frames.push_back(static_cast<std::int16_t>(i < 16 ? 64 << 8 : -(64 << 8)));
    }
    sample.loopLength = 32;
    return compose::WriteXm(module, arrangement, {sample});
}

bool WriteXm(const Song& song, const std::string& path) {
    const std::vector<std::uint8_t> bytes = BuildXm(song);
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

} // namespace xmtest
