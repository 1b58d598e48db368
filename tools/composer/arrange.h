// Arrangement: lays the phrases of every section out as pattern grids, adds the sync channel
// (one W command on every row) and shares identical patterns between order entries.
#ifndef ZARVO_TOOLS_COMPOSER_ARRANGE_H
#define ZARVO_TOOLS_COMPOSER_ARRANGE_H

#include "song.h"

#include <vector>

namespace compose {

struct Pattern {
    int rows = 0;
    int channels = 0;
    std::vector<Cell> cells; // row by row
    const Cell& At(int row, int channel) const {
        return cells[static_cast<size_t>(row * channels + channel)];
    }
};

struct Arrangement {
    int channels = 0; // even; the sync channel is the last music channel + 1
    int syncChannel = 0;
    std::vector<Pattern> patterns;
    std::vector<int> order; // pattern per order entry
};

// Throws SongError when a transposed note leaves C-0..B-7.
Arrangement Arrange(const Song& song);

} // namespace compose

#endif
