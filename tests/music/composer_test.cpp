// The composer's pieces: cell packing, tuning, the song language and its mistakes, the
// deterministic maths, and the synthesized samples.
#include "arrange.h"
#include "compose.h"
#include "det_math.h"
#include "rendered_module.h"
#include "song_parser.h"
#include "synth.h"
#include "xm_writer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>

namespace musictest {
namespace {

using compose::Cell;

std::vector<uint8_t> Packed(const Cell& cell) {
    std::vector<uint8_t> out;
    compose::PackCell(cell, out);
    return out;
}

TEST(Composer, CellsPackAsTheFormatPrescribes) {
    EXPECT_EQ(Packed(Cell{}), std::vector<uint8_t>({0x80}));
    EXPECT_EQ(Packed(Cell{0, 0, 0, 0x20, 0x05}), std::vector<uint8_t>({0x98, 0x20, 0x05}));
    EXPECT_EQ(Packed(Cell{0, 0, 0, 0x20, 0x00}), std::vector<uint8_t>({0x88, 0x20}));
    EXPECT_EQ(Packed(Cell{49, 3, 0, 0, 0}), std::vector<uint8_t>({0x83, 49, 3}));
    EXPECT_EQ(Packed(Cell{97, 0, 0, 0, 0}), std::vector<uint8_t>({0x81, 97}));
    EXPECT_EQ(Packed(Cell{49, 1, 0x50, 0x0C, 0x20}),
              std::vector<uint8_t>({49, 1, 0x50, 0x0C, 0x20}));
    // An arpeggio with parameter 0 would be "no effect": its type byte is then left out.
    EXPECT_EQ(Packed(Cell{0, 0, 0, 0, 0x37}), std::vector<uint8_t>({0x90, 0x37}));
}

TEST(Composer, TuningMatchesTheRecipeForCommonRates) {
    struct Case {
        double rate;
        int relativeNote;
        int finetune;
    };
    const Case cases[] = {{8363, 0, 0},    {11025, 5, -24},  {22050, 17, -24},
                          {32000, 23, 32}, {44100, 29, -24}, {48000, 30, 32}};
    for (const Case& c : cases) {
        int relativeNote = 99;
        int finetune = 99;
        compose::TuneForRate(c.rate, 49, relativeNote, finetune);
        EXPECT_EQ(relativeNote, c.relativeNote) << c.rate;
        EXPECT_EQ(finetune, c.finetune) << c.rate;
    }
}

TEST(Composer, DeterministicMathsAgreesWithTheLibrary) {
    for (int i = -2000; i <= 2000; ++i) {
        double x = i * 0.00731;
        EXPECT_NEAR(compose::SineTurns(x), std::sin(2.0 * compose::kPi * x), 1e-12) << x;
        EXPECT_NEAR(compose::Exp(x) / std::exp(x), 1.0, 1e-13) << x;
        double y = std::fabs(x) + 1e-3;
        EXPECT_NEAR(compose::Log2(y), std::log2(y), 1e-12) << y;
    }
}

void ExpectSongError(const std::string& text, const std::string& fragment) {
    try {
        compose::Song song = compose::ParseSong(text, "t.song");
        compose::Arrange(song);
        ADD_FAILURE() << "accepted: " << text;
    } catch (const compose::SongError& e) {
        EXPECT_NE(std::string(e.what()).find(fragment), std::string::npos) << e.what();
    }
}

constexpr const char* kHead = "channels a b\ninstrument i\n  tonal\n  voice sine\n";

TEST(Composer, MistakesInTheSongAreReportedWithTheirLine) {
    ExpectSongError(std::string(kHead) + "phrase p ins=i\n  C-4!F06\n", "t.song:6:");
    ExpectSongError(std::string(kHead) + "phrase p ins=i\n  C-4!W01\n", "row clock");
    ExpectSongError(std::string(kHead) + "phrase p ins=i\n  C-4!EE2\n", "row clock");
    ExpectSongError(std::string(kHead) + "phrase p ins=i\n  H-4\n", "'H-4' is not a note");
    ExpectSongError(std::string(kHead) + "section s\n  a: missing\norder s\n",
                    "no phrase named 'missing'");
    ExpectSongError(std::string(kHead) + "section s\n  c: x\norder s\n", "no channel named 'c'");
    ExpectSongError(std::string(kHead) + "rows 4\nphrase p step=5\n  .\nsection s\n  a: p\n"
                                         "order s\n",
                    "longer than 4 rows");
    ExpectSongError(std::string(kHead) + "phrase p\n  .\nsection s\n  a: p\norder s\nrestart 1\n",
                    "restart lies beyond");
    ExpectSongError(std::string(kHead) + "phrase p ins=i\n  B-7\nsection s\n  a: p+1\norder s\n",
                    "leaves the range");
}

TEST(Composer, PhrasesRepeatTransposeEchoAndScaleAsWritten) {
    compose::Song song = compose::ParseSong(
        "rows 8\nchannels a b\ninstrument i\n  tonal\n  voice sine\n  volume 40\n"
        "phrase p ins=i step=2\n  C-4:20 D-4\n"
        "phrase q ins=i step=4 sticky\n  C-4!037 .\n"
        "section s\n  a: p+2=20>1\n  b: q\norder s s\n",
        "t.song");
    compose::Arrangement a = compose::Arrange(song);
    ASSERT_EQ(a.channels, 4); // two music channels, the sync channel, one spare to stay even
    ASSERT_EQ(a.patterns.size(), 1u);
    EXPECT_EQ(a.order, std::vector<int>({0, 0}));
    const compose::Pattern& p = a.patterns[0];
    // p = C-4:20 . D-4 . , turned by one row: row 0 holds the wrapped tail, row 1 the C.
    EXPECT_EQ(p.At(1, 0).note, 49 + 2);
    EXPECT_EQ(p.At(1, 0).volume, 0x10 + 0x10); // 0x20 scaled by 0x20/0x40
    EXPECT_EQ(p.At(3, 0).note, 51 + 2);        // D-4
    EXPECT_EQ(p.At(3, 0).volume, 0x10 + 20);   // the instrument's volume (40) scaled by half
    EXPECT_EQ(p.At(5, 0).note, 49 + 2);        // repeated to fill the section
    for (int row = 0; row < 8; ++row) {
        EXPECT_EQ(p.At(row, 1).parameter, 0x37) << row; // sticky arpeggio on every row
        EXPECT_EQ(p.At(row, 2).effect, compose::kEffectSync);
        EXPECT_EQ(p.At(row, 2).parameter, row);
        EXPECT_EQ(p.At(row, 3), Cell{});
    }
}

TEST(Composer, SynthesizedSamplesLoopSeamlesslyAndUseTheirRange) {
    std::vector<uint8_t> text = ReadFile(ZARVO_SONG_PATH);
    compose::Song song = compose::ParseSong(std::string(text.begin(), text.end()), "zarvo.song");
    for (const compose::Instrument& ins : song.instruments) {
        compose::SampleData s = compose::Synthesize(ins);
        ASSERT_FALSE(s.frames.empty()) << ins.name;
        int peak = 0;
        int biggestStep = 0;
        for (size_t i = 0; i < s.frames.size(); ++i) {
            peak = std::max(peak, std::abs(static_cast<int>(s.frames[i])));
            if (i > 0) {
                biggestStep = std::max(biggestStep,
                                       std::abs(static_cast<int>(s.frames[i]) - s.frames[i - 1]));
            }
        }
        EXPECT_NEAR(peak, compose::kSamplePeak * 32767.0, 1.0) << ins.name;
        EXPECT_EQ(s.finetune % 8, 0) << ins.name;
        if (ins.drum) {
            EXPECT_EQ(s.loopLength, 0u) << ins.name;
            EXPECT_LT(std::abs(static_cast<int>(s.frames.back())), 64) << ins.name << " clicks";
        } else {
            ASSERT_EQ(s.loopStart + s.loopLength, s.frames.size()) << ins.name;
            // Across the loop point the wave moves no more than anywhere inside it.
            int wrap = std::abs(static_cast<int>(s.frames.front()) - s.frames.back());
            EXPECT_LE(wrap, biggestStep) << ins.name;
        }
    }
}

} // namespace
} // namespace musictest
