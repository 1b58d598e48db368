// Arrangement of sections into patterns.
#include "arrange.h"

#include "song_parser.h"

#include <string>

namespace compose {

namespace {

int InstrumentVolume(const Song& song, int instrument) {
    if (instrument < 1 || instrument > static_cast<int>(song.instruments.size())) {
        return 64;
    }
    return song.instruments[static_cast<size_t>(instrument - 1)].volume;
}

Pattern LayOut(const Song& song, const Section& section, int channels, int syncChannel) {
    Pattern p;
    p.rows = song.rows;
    p.channels = channels;
    p.cells.assign(static_cast<size_t>(song.rows * channels), Cell{});
    for (size_t c = 0; c < section.channels.size(); ++c) {
        // The channel's phrases one after the other, repeated until the section is full.
        std::vector<Cell> line;
        for (const PhraseUse& use : section.channels[c]) {
            const Phrase& phrase = song.phrases[static_cast<size_t>(use.phrase)];
            const size_t length = phrase.cells.size();
            for (int r = 0; r < use.repeat; ++r) {
                for (size_t i = 0; i < length; ++i) {
                    size_t turned = (i + length - static_cast<size_t>(use.delay) % length) % length;
                    Cell cell = phrase.cells[turned];
                    if (use.volume >= 0 && cell.note != 0 && cell.note != kKeyOff) {
                        // Without a volume of its own a note plays at its sample's volume.
                        int written = cell.volume >= 0x10 && cell.volume <= 0x50
                                          ? cell.volume - 0x10
                                          : InstrumentVolume(song, cell.instrument);
                        cell.volume = static_cast<uint8_t>(0x10 + (written * use.volume + 32) / 64);
                    }
                    if (cell.note != 0 && cell.note != kKeyOff) {
                        int note = cell.note + use.transpose;
                        if (note < 1 || note > 96) {
                            throw SongError("section '" + section.name + "': phrase '" +
                                            phrase.name + "' transposed by " +
                                            std::to_string(use.transpose) +
                                            " leaves the range C-0..B-7");
                        }
                        cell.note = static_cast<uint8_t>(note);
                    }
                    line.push_back(cell);
                }
            }
        }
        if (line.empty()) {
            continue;
        }
        for (int row = 0; row < song.rows; ++row) {
            p.cells[static_cast<size_t>(row * channels) + c] =
                line[static_cast<size_t>(row) % line.size()];
        }
    }
    // The show's clock: exactly one W on every row, its parameter the row within the section.
    for (int row = 0; row < song.rows; ++row) {
        Cell& sync = p.cells[static_cast<size_t>(row * channels + syncChannel)];
        sync.effect = kEffectSync;
        sync.parameter = static_cast<uint8_t>(row);
    }
    return p;
}

} // namespace

Arrangement Arrange(const Song& song) {
    Arrangement a;
    a.syncChannel = static_cast<int>(song.channels.size());
    a.channels = a.syncChannel + 1;
    if (a.channels % 2 != 0) {
        a.channels += 1; // players expect an even count; the spare channel stays empty
    }
    std::vector<int> patternOfSection(song.sections.size(), -1);
    for (int s : song.order) {
        if (patternOfSection[static_cast<size_t>(s)] < 0) {
            Pattern p =
                LayOut(song, song.sections[static_cast<size_t>(s)], a.channels, a.syncChannel);
            int found = -1;
            for (size_t i = 0; i < a.patterns.size(); ++i) {
                if (a.patterns[i].cells == p.cells) {
                    found = static_cast<int>(i);
                }
            }
            if (found < 0) {
                found = static_cast<int>(a.patterns.size());
                a.patterns.push_back(p);
            }
            patternOfSection[static_cast<size_t>(s)] = found;
        }
        a.order.push_back(patternOfSection[static_cast<size_t>(s)]);
    }
    return a;
}

} // namespace compose
