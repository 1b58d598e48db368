// Whole shows (long): the show ends by itself after its fade, and a show that cannot end is
// bounded by --max-seconds.
#include "capture_runner.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace {

using capturetest::BuildFolder;
using capturetest::CsvRow;
using capturetest::ReadCsv;
using capturetest::RunCapture;
using capturetest::TempFolder;

int PhaseRank(const std::string& phase) {
    if (phase == "opening") {
        return 0;
    }
    if (phase == "main") {
        return 1;
    }
    if (phase == "fade") {
        return 2;
    }
    return phase == "hold" ? 3 : -1;
}

// Phases come in their order and never return.
void ExpectPhasesInOrder(const std::vector<CsvRow>& rows) {
    for (std::size_t i = 0; i < rows.size(); ++i) {
        ASSERT_GE(PhaseRank(rows[i].phase), 0) << rows[i].phase;
        if (i > 0) {
            ASSERT_GE(PhaseRank(rows[i].phase), PhaseRank(rows[i - 1].phase)) << "frame " << i;
            ASSERT_GE(rows[i].syncCount, rows[i - 1].syncCount) << "frame " << i;
        }
    }
}

TEST(WholeShow, EndsByItselfAfterElevenFadeFrames) {
    TempFolder out;
    const auto run =
        RunCapture({"--out", out.Path(), "--fps", "5", "--no-frames", "--quiet"}, BuildFolder());
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    const auto rows = ReadCsv(out.Path() + "/frames.csv");
    ASSERT_GT(rows.size(), 12u);
    ExpectPhasesInOrder(rows);
    EXPECT_EQ(rows.front().phase, "opening");
    // The fade presents 11 frames (blue 1.0 down to 0.8^10) and the next call ends the show.
    std::size_t fades = 0;
    for (const auto& row : rows) {
        fades += row.phase == "fade" ? 1 : 0;
        EXPECT_NE(row.phase, "hold");
    }
    EXPECT_EQ(fades, 11u);
    for (std::size_t i = rows.size() - 11; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].phase, "fade") << "frame " << i;
    }
    // The main phase ran past the last caption before the sphere's far point ended it.
    EXPECT_GE(rows[rows.size() - 12].syncCount, 4480u);
    const auto wav = capturetest::ReadWavInfo(out.Path() + "/audio.wav");
    ASSERT_TRUE(wav.valid);
    EXPECT_EQ(wav.frames, static_cast<std::int64_t>(rows.size()) * 48000 / 5);
}

// RMS level in dBFS of the last `seconds` of a 16-bit stereo WAV written by the capture.
double TailLevelDb(const std::string& path, double seconds) {
    const std::vector<std::int16_t> samples = capturetest::ReadWavSamples(path);
    const auto count = static_cast<std::size_t>(seconds * 48000) * 2;
    EXPECT_GE(samples.size(), count);
    if (samples.size() < count || count == 0) {
        return 0.0;
    }
    double sum = 0.0;
    for (std::size_t i = samples.size() - count; i < samples.size(); ++i) {
        sum += (samples[i] / 32768.0) * (samples[i] / 32768.0);
    }
    return sum > 0.0 ? 10.0 * std::log10(sum / static_cast<double>(count)) : -200.0;
}

TEST(WholeShow, TheMusicHasComeToRestWhenTheShowEndsAtSixtyAndThirtyFrames) {
    for (const char* fps : {"60", "30"}) {
        TempFolder out;
        const auto run = RunCapture({"--out", out.Path(), "--fps", fps, "--no-frames", "--quiet"},
                                    BuildFolder());
        ASSERT_EQ(run.exitCode, 0) << run.errors;
        const auto rows = ReadCsv(out.Path() + "/frames.csv");
        ASSERT_FALSE(rows.empty());
        EXPECT_EQ(rows.back().phase, "fade") << fps << " frames a second: ended by itself";
        // The last 0.2 s are below -40 dBFS, and 8 s earlier the music still played.
        EXPECT_LT(TailLevelDb(out.Path() + "/audio.wav", 0.2), -40.0) << fps;
        EXPECT_GT(TailLevelDb(out.Path() + "/audio.wav", 8.0), -30.0) << fps;
    }
}

TEST(WholeShow, ASlowFadeTurnsIntoAHoldThatTheLimitEnds) {
    // At one frame a second some twenty sync events pass per fade frame, so more than 64 pass
    // before the lights are dim: the show holds and would run for ever.
    TempFolder out;
    const auto run = RunCapture({"--out", out.Path(), "--fps", "1", "--rate", "8000",
                                 "--max-seconds", "330", "--no-frames", "--quiet"},
                                BuildFolder());
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    const auto rows = ReadCsv(out.Path() + "/frames.csv");
    ASSERT_EQ(rows.size(), 330u);
    ExpectPhasesInOrder(rows);
    EXPECT_EQ(rows.back().phase, "hold");
    std::size_t fades = 0;
    for (const auto& row : rows) {
        fades += row.phase == "fade" ? 1 : 0;
    }
    EXPECT_GE(fades, 1u);
    EXPECT_LT(fades, 11u);
    const auto wav = capturetest::ReadWavInfo(out.Path() + "/audio.wav");
    ASSERT_TRUE(wav.valid);
    EXPECT_EQ(wav.frames, 330 * 8000);
}

} // namespace
