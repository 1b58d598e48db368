// One rendered pass of the module, measured as a listener's meter would: no clipping, no
// section gone silent, and the quiet parts where the song means them to be.
#include "rendered_module.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

namespace musictest {
namespace {

constexpr size_t kSectionFrames = static_cast<size_t>(kSectionSeconds * kRenderRate);

TEST(ModuleAudio, OnePassRendersToTheFullLength) {
    const std::vector<float>& audio = RenderedPass();
    double seconds = static_cast<double>(audio.size() / 2) / kRenderRate;
    EXPECT_GE(seconds, 270.0);
}

TEST(ModuleAudio, PeakStaysAMarginBelowFullScale) {
    const std::vector<float>& audio = RenderedPass();
    Level whole = MeasureLevel(audio, 0, audio.size() / 2);
    // -1 dBFS leaves room for players that mix a little hotter than libopenmpt.
    EXPECT_LT(whole.peak, 0.891);
    EXPECT_GT(whole.peak, 0.25); // and it is not mixed so quietly that it would be lost
}

TEST(ModuleAudio, NoSectionIsSilent) {
    // The song has breaks (captions 5 and 14, the breakdown) but none of them is silence: a pad
    // and the bar kick keep sounding under every caption.
    const std::vector<float>& audio = RenderedPass();
    size_t sections = audio.size() / 2 / kSectionFrames;
    ASSERT_GE(sections, 42u);
    for (size_t s = 0; s < sections; ++s) {
        Level level = MeasureLevel(audio, s * kSectionFrames, kSectionFrames);
        std::printf("section %2zu (sync %4zu): peak %.3f, RMS %.1f dBFS\n", s, s * kSectionRows,
                    level.peak, level.rmsDb);
        EXPECT_GT(level.rmsDb, -40.0) << "section " << s;
    }
}

TEST(ModuleAudio, TheGrooveIsLouderThanTheTitleBuildAndTheBreak) {
    const std::vector<float>& audio = RenderedPass();
    auto rms = [&](size_t section) {
        return MeasureLevel(audio, section * kSectionFrames, kSectionFrames).rmsDb;
    };
    EXPECT_GT(rms(2), rms(0) + 6.0); // the groove arrives after the quiet build under the title
    EXPECT_GT(rms(6), rms(5) + 3.0); // the theme arrives after the break on empty caption 5
}

TEST(ModuleAudio, NoLongStretchOfSilenceBeforeTheFinalChordHasRung) {
    // From the first row to two bars into the final chord, no 400 ms may be silent.
    const std::vector<float>& audio = RenderedPass();
    const size_t window = kRenderRate * 4 / 10;
    const auto end = static_cast<size_t>((kFinalChordSync + 64) * kRowSeconds * kRenderRate);
    for (size_t first = 0; first + window <= end; first += window) {
        EXPECT_GT(MeasureLevel(audio, first, window).rmsDb, -55.0)
            << "at " << static_cast<double>(first) / kRenderRate << " s";
    }
}

// The first sync count from the end of the captions (4480) at which the show finds the sphere
// far enough (z = 60 sin(t / 128) + 45 reaches 103): its main phase ends there.
uint32_t SyncWhereTheShowsMainPhaseEnds() {
    uint32_t t = 4480;
    while (60.0 * std::sin(t / 128.0) + 45.0 < 103.0) {
        ++t;
    }
    return t;
}

TEST(ModuleAudio, TheFinalChordLandsInTimeAndHasRungOutWhenTheShowEnds) {
    const std::vector<float>& audio = RenderedPass();
    auto frameAt = [](double sync) {
        return static_cast<size_t>(sync * kRowSeconds * kRenderRate);
    };
    const size_t window = kRenderRate / 5;
    const uint32_t mainEnd = SyncWhereTheShowsMainPhaseEnds();
    ASSERT_GT(mainEnd, static_cast<uint32_t>(kFinalChordSync + 64));
    std::printf("final chord at sync %d (%.2f s); the main phase ends at sync %u\n",
                kFinalChordSync, kFinalChordSync * kRowSeconds, mainEnd);
    // The chord is struck: loud at once.
    const Level chord = MeasureLevel(audio, frameAt(kFinalChordSync), window);
    EXPECT_GT(chord.rmsDb, -22.0);
    EXPECT_GT(chord.peak, 0.25);
    // It rings for two bars before it fades.
    EXPECT_GT(MeasureLevel(audio, frameAt(kFinalChordSync + 56), window).rmsDb, -36.0);
    // From 0.4 s before the main phase ends until its fade is over (a dozen frames, at 20 frames
    // a second or more), the music has come to rest.
    for (double sync = mainEnd - 8; sync < mainEnd + 16; sync += 4) {
        const Level rest = MeasureLevel(audio, frameAt(sync), window);
        EXPECT_LT(rest.rmsDb, -40.0) << "at sync " << sync;
        EXPECT_LT(rest.peak, 0.01) << "at sync " << sync;
    }
}

} // namespace
} // namespace musictest
