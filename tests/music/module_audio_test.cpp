// One rendered pass of the module, measured as a listener's meter would: no clipping, no
// section gone silent, and the quiet parts where the song means them to be.
#include "rendered_module.h"

#include <gtest/gtest.h>

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

TEST(ModuleAudio, NoLongStretchOfSilenceInsideTheShow) {
    // Sync counts 0..5000 are what the show plays to: no 400 ms there may be silent.
    const std::vector<float>& audio = RenderedPass();
    const size_t window = kRenderRate * 4 / 10;
    const size_t end = static_cast<size_t>(5000 * kRowSeconds * kRenderRate);
    for (size_t first = 0; first + window <= end; first += window) {
        EXPECT_GT(MeasureLevel(audio, first, window).rmsDb, -55.0)
            << "at " << static_cast<double>(first) / kRenderRate << " s";
    }
}

} // namespace
} // namespace musictest
