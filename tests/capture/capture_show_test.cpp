// Whole shows (long): the show ends by itself after its fade, and a show that cannot end is
// bounded by --max-seconds.
#include "capture_runner.h"

#include <gtest/gtest.h>

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
