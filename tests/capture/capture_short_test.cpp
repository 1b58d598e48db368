// zarvo-capture run as a user would: exact counts, the pictures of the first seconds, the same
// bytes twice, a clock that does not drift, and the roads that end a capture early.
#include "capture_runner.h"
#include "capture_png_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>
#include <unistd.h>

namespace {

using capturetest::BuildFolder;
using capturetest::CountFiles;
using capturetest::ReadCsv;
using capturetest::ReadWavInfo;
using capturetest::RunCapture;
using capturetest::TempFolder;

constexpr std::uint32_t kWhite = 0x00FFFFFFu;

std::vector<std::uint32_t> LoadFrame(const std::string& out, std::int64_t frame) {
    std::vector<std::uint32_t> pixels;
    int width = 0;
    int height = 0;
    std::string error;
    EXPECT_TRUE(capture::ReadPng(out + "/frames/" + capture::FrameFileName(frame), pixels, width,
                                 height, error))
        << error;
    EXPECT_EQ(width, 320);
    EXPECT_EQ(height, 200);
    pixels.resize(320 * 200, 0u);
    return pixels;
}

TEST(CaptureRun, AShortCaptureHasExactlyTheExpectedFramesAndSamples) {
    TempFolder out;
    // 2 s at 29.97 frames a second: 59 frames, and floor(59 * 48000 * 1001 / 30000) samples.
    const auto run =
        RunCapture({"--out", out.Path(), "--fps", "30000/1001", "--max-seconds", "2", "--quiet"},
                   BuildFolder());
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    const auto rows = ReadCsv(out.Path() + "/frames.csv");
    ASSERT_EQ(rows.size(), 59u);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].frame, static_cast<std::int64_t>(i));
    }
    EXPECT_EQ(CountFiles(out.Path() + "/frames", ".png"), 59);
    const auto wav = ReadWavInfo(out.Path() + "/audio.wav");
    ASSERT_TRUE(wav.valid);
    EXPECT_EQ(wav.channels, 2);
    EXPECT_EQ(wav.bits, 16);
    EXPECT_EQ(wav.sampleRate, 48000);
    EXPECT_EQ(wav.frames, 94494);
    // Stopped in the middle of the music, the sound does not end on a click: its last 5 ms
    // (240 frames) fall along a ramp to zero.
    const std::vector<std::int16_t> samples =
        capturetest::ReadWavSamples(out.Path() + "/audio.wav");
    ASSERT_EQ(samples.size(), 94494u * 2);
    int peak = 0;
    for (std::size_t i = samples.size() - 2 * 4800; i < samples.size(); ++i) {
        peak = std::max(peak, std::abs(static_cast<int>(samples[i])));
    }
    EXPECT_GT(peak, 1000) << "the music plays at the end of the second second";
    for (std::size_t k = 0; k < 240; ++k) { // k frames before the end
        for (std::size_t channel = 0; channel < 2; ++channel) {
            const int sample = samples[samples.size() - 2 * (k + 1) + channel];
            EXPECT_LE(std::abs(sample), peak * (k + 1.0) / 240 + 1) << k << " before the end";
        }
    }
}

TEST(CaptureRun, OtherRatesAndNoFramesKeepTheCountsExact) {
    TempFolder out;
    const auto run = RunCapture({"--out", out.Path(), "--fps", "7", "--rate", "44100",
                                 "--max-seconds", "3", "--no-frames", "--quiet"},
                                BuildFolder());
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_EQ(ReadCsv(out.Path() + "/frames.csv").size(), 21u);
    EXPECT_EQ(CountFiles(out.Path() + "/frames", ".png"), 0);
    const auto wav = ReadWavInfo(out.Path() + "/audio.wav");
    ASSERT_TRUE(wav.valid);
    EXPECT_EQ(wav.sampleRate, 44100);
    EXPECT_EQ(wav.frames, 3 * 44100);
}

class FirstSeconds : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        out_ = new TempFolder();
        const auto run = RunCapture(
            {"--out", out_->Path(), "--fps", "30", "--max-seconds", "2", "--quiet"}, BuildFolder());
        exitCode_ = run.exitCode;
        errors_ = run.errors;
    }
    static void TearDownTestSuite() {
        delete out_;
        out_ = nullptr;
    }
    static TempFolder* out_;
    static int exitCode_;
    static std::string errors_;
};

TempFolder* FirstSeconds::out_ = nullptr;
int FirstSeconds::exitCode_ = -1;
std::string FirstSeconds::errors_;

TEST_F(FirstSeconds, TheClockStartsAtZeroAndPhasesFollowIt) {
    ASSERT_EQ(exitCode_, 0) << errors_;
    const auto rows = ReadCsv(out_->Path() + "/frames.csv");
    ASSERT_EQ(rows.size(), 60u);
    EXPECT_EQ(rows.front().syncCount, 0u);
    EXPECT_GT(rows.back().syncCount, 3u);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (i > 0) {
            EXPECT_GE(rows[i].syncCount, rows[i - 1].syncCount) << "frame " << i;
        }
        EXPECT_EQ(rows[i].phase, rows[i].syncCount < 3 ? "opening" : "main") << "frame " << i;
    }
}

TEST_F(FirstSeconds, OpeningFramesShowOnlyTheOpeningTitleOnBlack) {
    ASSERT_EQ(exitCode_, 0) << errors_;
    const auto rows = ReadCsv(out_->Path() + "/frames.csv");
    ASSERT_FALSE(rows.empty());
    ASSERT_EQ(rows[0].phase, "opening");
    const auto pixels = LoadFrame(out_->Path(), 0);
    int white = 0;
    int left = 320;
    int right = 0;
    for (int y = 0; y < 200; ++y) {
        for (int x = 0; x < 320; ++x) {
            const std::uint32_t p = pixels[static_cast<std::size_t>(y) * 320 + x];
            if (p == 0) {
                continue;
            }
            // Everything drawn is the one line of text in the middle, white on black.
            EXPECT_EQ(p, kWhite) << x << "," << y;
            EXPECT_TRUE(y >= 84 && y < 116) << "text outside the middle line at " << x << "," << y;
            ++white;
            left = std::min(left, x);
            right = std::max(right, x);
        }
    }
    EXPECT_GT(white, 100);
    // "Quillmoor presents..." is wide and centred.
    EXPECT_GT(right - left, 120);
    EXPECT_LT(std::abs((left + right) / 2 - 160), 8);
}

TEST_F(FirstSeconds, MainFramesShowTheTitleOverTheScene) {
    ASSERT_EQ(exitCode_, 0) << errors_;
    const auto rows = ReadCsv(out_->Path() + "/frames.csv");
    int checked = 0;
    for (const auto& row : rows) {
        if (row.phase != "main") {
            continue;
        }
        ++checked;
        const auto pixels = LoadFrame(out_->Path(), row.frame);
        int white = 0;
        int lit = 0;
        for (int y = 0; y < 200; ++y) {
            for (int x = 0; x < 320; ++x) {
                const std::uint32_t p = pixels[static_cast<std::size_t>(y) * 320 + x];
                if (p == kWhite) {
                    // "Zarvo!" is short: its white stays in a narrow centred box.
                    EXPECT_TRUE(x >= 120 && x < 200 && y >= 84 && y < 116)
                        << "frame " << row.frame << " white at " << x << "," << y;
                    ++white;
                }
                if (y >= 120 && p != 0) {
                    ++lit;
                }
            }
        }
        EXPECT_GT(white, 40) << "frame " << row.frame;
        // The floor fills the lower part of the picture.
        EXPECT_GT(lit, 80 * 320 / 2) << "frame " << row.frame;
    }
    EXPECT_GT(checked, 40);
}

// --start: the show runs from its beginning, and the files begin one second into it, with the
// very pictures and sound the full capture has there.
TEST_F(FirstSeconds, FilesFromAStartHoldWhatTheShowHasThere) {
    ASSERT_EQ(exitCode_, 0) << errors_;
    TempFolder late;
    const auto run =
        RunCapture({"--out", late.Path(), "--fps", "30", "--start", "1", "--max-seconds", "0.5"},
                   BuildFolder());
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    const auto rows = ReadCsv(late.Path() + "/frames.csv");
    const auto all = ReadCsv(out_->Path() + "/frames.csv");
    ASSERT_EQ(rows.size(), 15u);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].frame, static_cast<std::int64_t>(i));
        EXPECT_EQ(rows[i].syncCount, all[30 + i].syncCount) << i;
        EXPECT_TRUE(LoadFrame(late.Path(), static_cast<std::int64_t>(i)) ==
                    LoadFrame(out_->Path(), static_cast<std::int64_t>(30 + i)))
            << "frame " << i;
    }
    const std::string sound = capturetest::ReadBytes(late.Path() + "/audio.wav");
    const std::string full = capturetest::ReadBytes(out_->Path() + "/audio.wav");
    ASSERT_EQ(sound.size(), 44u + 24000u * 4);
    // The same sound, but for the ramp down over the last few ms where the capture ends.
    constexpr std::size_t kRampRoom = 480;
    EXPECT_TRUE(sound.compare(44, (24000 - kRampRoom) * 4, full, 44 + 48000 * 4,
                              (24000 - kRampRoom) * 4) == 0);
    // Progress in percent, and the summary at the end.
    EXPECT_NE(run.errors.find("%  frame"), std::string::npos) << run.errors;
    EXPECT_NE(run.errors.find("zarvo-capture: 15 frames, 0.50 s of show (from 1.00 s), in "),
              std::string::npos)
        << run.errors;
    EXPECT_NE(run.errors.find("x real time; wrote " + late.Path() + "/frames/ (15 PNG), " +
                              late.Path() + "/audio.wav, " + late.Path() + "/frames.csv"),
              std::string::npos)
        << run.errors;
}

TEST(CaptureRun, TwoCapturesWithTheSameOptionsAreIdentical) {
    TempFolder first;
    TempFolder second;
    const bool video = capturetest::ProgramAvailable("ffmpeg");
    for (const TempFolder* out : {&first, &second}) {
        std::vector<std::string> args = {"--out",         out->Path(), "--fps",  "24",
                                         "--max-seconds", "1.5",       "--quiet"};
        if (video) {
            // Both enlargement steps, which ffmpeg cuts into slices on threads, and the bars.
            args.insert(args.end(), {"--video", out->Path() + "/show.mp4", "--size", "1920x1080"});
        }
        const auto run = RunCapture(args, BuildFolder());
        ASSERT_EQ(run.exitCode, 0) << run.errors;
    }
    std::vector<std::string> files = {"/frames.csv", "/audio.wav"};
    for (int frame = 0; frame < 36; ++frame) {
        files.push_back("/frames/" + capture::FrameFileName(frame));
    }
    if (video) {
        files.push_back("/show.mp4");
    }
    for (const std::string& file : files) {
        const std::string a = capturetest::ReadBytes(first.Path() + file);
        ASSERT_FALSE(a.empty()) << file;
        EXPECT_TRUE(a == capturetest::ReadBytes(second.Path() + file)) << file << " differs";
    }
}

// The count a frame sees depends only on the time it is shown, not on how many frames came
// before it: one second into the show is one second, at 60 or at 7 frames a second.
TEST(CaptureRun, TheSyncCountFollowsShowTimeAtAnyFrameRate) {
    TempFolder fast;
    TempFolder slow;
    ASSERT_EQ(RunCapture({"--out", fast.Path(), "--fps", "60", "--max-seconds", "8", "--no-frames",
                          "--quiet"},
                         BuildFolder())
                  .exitCode,
              0);
    ASSERT_EQ(RunCapture({"--out", slow.Path(), "--fps", "7", "--max-seconds", "8", "--no-frames",
                          "--quiet"},
                         BuildFolder())
                  .exitCode,
              0);
    const auto fastRows = ReadCsv(fast.Path() + "/frames.csv");
    const auto slowRows = ReadCsv(slow.Path() + "/frames.csv");
    ASSERT_EQ(fastRows.size(), 480u);
    ASSERT_EQ(slowRows.size(), 56u);
    for (int second = 1; second < 8; ++second) {
        const auto a =
            static_cast<std::int64_t>(fastRows[static_cast<std::size_t>(second * 60)].syncCount);
        const auto b =
            static_cast<std::int64_t>(slowRows[static_cast<std::size_t>(second * 7)].syncCount);
        // Commands are counted as rendered, in steps of a few milliseconds of sound.
        EXPECT_LE(std::llabs(a - b), 1) << "at " << second << " s";
        EXPECT_GT(a, 0);
    }
}

TEST(CaptureRun, AMissingModuleGivesTheIntrosMessageAndAnExitCodeOfItsOwn) {
    TempFolder work;
    // A dangling link in the working directory: the module is missing there, and the search
    // does not go on to the one beside the program.
    ASSERT_EQ(symlink("gone.xm", (work.Path() + "/Zarvo.xm").c_str()), 0);
    const auto run = RunCapture({"--out", work.Path() + "/out", "--quiet"}, work.Path());
    EXPECT_EQ(run.exitCode, 3) << run.errors;
    EXPECT_NE(run.errors.find("zarvo-capture: the intro stopped with an error"), std::string::npos)
        << run.errors;
    EXPECT_NE(run.errors.find("Sceners: MIDASloadModule() failed ("), std::string::npos)
        << run.errors;
    EXPECT_NE(run.errors.find("\r\nLamers: The module 'Zarvo.xm' is missing or corrupt."),
              std::string::npos)
        << run.errors;
    // Nothing was shown, and the files say so.
    EXPECT_TRUE(ReadCsv(work.Path() + "/out/frames.csv").empty());
    const auto wav = ReadWavInfo(work.Path() + "/out/audio.wav");
    EXPECT_TRUE(wav.valid);
    EXPECT_EQ(wav.frames, 0);
}

TEST(CaptureRun, HelpAndWrongArguments) {
    TempFolder work;
    const auto help = RunCapture({"--help"}, work.Path());
    EXPECT_EQ(help.exitCode, 0);
    const auto wrong = RunCapture({"--fps", "0"}, work.Path());
    EXPECT_EQ(wrong.exitCode, 2);
    EXPECT_NE(wrong.errors.find("--fps"), std::string::npos) << wrong.errors;
    EXPECT_NE(wrong.errors.find("Usage:"), std::string::npos) << wrong.errors;
    // Neither starts a capture.
    EXPECT_NE(access((work.Path() + "/capture").c_str(), F_OK), 0);
}

TEST(CaptureRun, CtrlCStopsWithEveryFileComplete) {
    TempFolder out;
    const bool video = capturetest::ProgramAvailable("ffmpeg");
    std::vector<std::string> args = {"--out", out.Path(), "--fps", "30", "--max-seconds", "600"};
    if (video) {
        args.insert(args.end(), {"--video", out.Path() + "/show.mp4", "--size", "320x200"});
    }
    // A second of show captured, then Ctrl+C as at a terminal.
    const auto run = capturetest::InterruptCapture(args, BuildFolder(), out.Path(), 30, 1);
    ASSERT_EQ(run.exitCode, 130) << run.errors;
    EXPECT_NE(run.errors.find("stopped early"), std::string::npos) << run.errors;

    const std::size_t frames = capturetest::ExpectFilesAgree(out.Path(), 30, true);
    ASSERT_GE(frames, 30u);
    ASSERT_LT(frames, 600u * 30u);
    const auto rows = ReadCsv(out.Path() + "/frames.csv");
    const auto last = LoadFrame(out.Path(), rows.back().frame);
    EXPECT_EQ(last.size(), 320u * 200u);
    if (video) {
        const auto probe = capturetest::Probe(out.Path() + "/show.mp4");
        EXPECT_EQ(probe.count("0.nb_frames") ? probe.at("0.nb_frames") : "",
                  std::to_string(rows.size()));
    }
}

} // namespace
