// The composer's whole road from song text to module bytes.
#include "compose.h"

#include "arrange.h"
#include "song_parser.h"
#include "synth.h"
#include "xm_writer.h"

namespace compose {

std::vector<uint8_t> ComposeModule(const std::string& songText, const std::string& fileName) {
    Song song = ParseSong(songText, fileName);
    Arrangement arrangement = Arrange(song);
    std::vector<SampleData> samples;
    samples.reserve(song.instruments.size());
    for (const Instrument& instrument : song.instruments) {
        samples.push_back(Synthesize(instrument));
    }
    return WriteXm(song, arrangement, samples);
}

} // namespace compose
