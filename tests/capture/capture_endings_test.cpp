// How captures end when the show does not: a song that ends first, an intro that fails, a disk
// that fills up, a second Ctrl+C. Each has its exit code and a message that says why, and the
// files left always agree with one another.
#include "capture_runner.h"
#include "xm_writer.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sys/mount.h>
#include <unistd.h>

namespace {

using capturetest::BuildFolder;
using capturetest::CountFiles;
using capturetest::ExpectFilesAgree;
using capturetest::ReadCsv;
using capturetest::ReadWavInfo;
using capturetest::RunCapture;
using capturetest::TempFolder;

// A module of one 64-row pattern (7.68 s) with sync commands on its first two rows only: the
// show's clock stays in the opening for the whole song.
void WriteStuckModule(const std::string& path) {
    xmtest::Song song;
    song.patterns.push_back(xmtest::PatternWithSyncs(64, {0, 1}));
    ASSERT_TRUE(xmtest::WriteXm(song, path));
}

TEST(CaptureEnding, ASongThatEndsBeforeTheShowStopsTheCaptureWithCodeFour) {
    TempFolder work;
    WriteStuckModule(work.Path() + "/Zarvo.xm");
    const auto run =
        RunCapture({"--out", work.Path() + "/out", "--fps", "30", "--no-frames"}, work.Path());
    EXPECT_EQ(run.exitCode, 4) << run.errors;
    EXPECT_NE(run.errors.find("the song has played through once (7.7 s)"), std::string::npos)
        << run.errors;
    const std::size_t rows = ExpectFilesAgree(work.Path() + "/out", 30, false);
    EXPECT_GE(rows, 231u); // 7.68 s at 30 frames a second
    EXPECT_LE(rows, 233u);
    for (const auto& row : ReadCsv(work.Path() + "/out/frames.csv")) {
        ASSERT_EQ(row.phase, "opening") << row.frame;
    }
    // A limit is the user's word: the capture goes on past the song's end, as the show does.
    const auto limited = RunCapture({"--out", work.Path() + "/out", "--fps", "30", "--no-frames",
                                     "--max-seconds", "20", "--quiet"},
                                    work.Path());
    EXPECT_EQ(limited.exitCode, 0) << limited.errors;
    EXPECT_EQ(ExpectFilesAgree(work.Path() + "/out", 30, false), 600u);
    EXPECT_EQ(ReadCsv(work.Path() + "/out/frames.csv").back().phase, "main");
}

TEST(CaptureEnding, ACorruptModuleIsTheIntrosFailureEvenWithAVideoAndQuiet) {
    TempFolder work;
    std::ofstream(work.Path() + "/Zarvo.xm") << "not a module at all";
    std::vector<std::string> args = {"--out", work.Path() + "/out", "--quiet"};
    if (capturetest::ProgramAvailable("ffmpeg")) {
        args.insert(args.end(), {"--video", work.Path() + "/show.mkv"});
    }
    const auto run = RunCapture(args, work.Path());
    EXPECT_EQ(run.exitCode, 3) << run.errors;
    EXPECT_NE(run.errors.find("Lamers: The module 'Zarvo.xm' is missing or corrupt."),
              std::string::npos)
        << run.errors;
    EXPECT_NE(run.errors.find("zarvo-capture: the intro stopped with an error"), std::string::npos)
        << run.errors;
    EXPECT_EQ(ExpectFilesAgree(work.Path() + "/out", 60, true), 0u);
    EXPECT_NE(access((work.Path() + "/show.mkv").c_str(), F_OK), 0);
    EXPECT_EQ(CountFiles(work.Path(), ".part"), 0);
}

// A small disk of its own (a tmpfs, when the tests may mount one).
class FullDisk : public ::testing::TestWithParam<const char*> {
  protected:
    void SetUp() override {
        disk_ = folder_.Path() + "/disk";
        ASSERT_EQ(mkdir(disk_.c_str(), 0755), 0);
        const std::string size = std::string("size=") + GetParam();
        if (mount("tmpfs", disk_.c_str(), "tmpfs", 0, size.c_str()) != 0) {
            GTEST_SKIP() << "cannot mount a small disk here (needs root)";
        }
        mounted_ = true;
    }
    void TearDown() override {
        if (mounted_) {
            umount2(disk_.c_str(), MNT_DETACH);
        }
    }
    TempFolder folder_;
    std::string disk_;
    bool mounted_ = false;
};

TEST_P(FullDisk, LeavesFilesThatAgreeAndSaysSo) {
    const std::string out = disk_ + "/out";
    std::vector<std::string> args = {"--out", out, "--fps", "30", "--max-seconds", "120"};
    const bool video = capturetest::ProgramAvailable("ffmpeg");
    if (video) {
        args.insert(args.end(), {"--video", disk_ + "/show.mp4", "--size", "320x200"});
    }
    const auto run = RunCapture(args, BuildFolder());
    EXPECT_EQ(run.exitCode, 1) << run.errors;
    EXPECT_NE(run.errors.find("No space left on device"), std::string::npos) << run.errors;
    EXPECT_NE(run.errors.find("the files hold the first"), std::string::npos) << run.errors;
    EXPECT_GT(ExpectFilesAgree(out, 30, true), 0u);
    EXPECT_NE(access((disk_ + "/show.mp4").c_str(), F_OK), 0);
}

// A disk full before the first write: no file is left without its header (a CSV of 0 bytes).
TEST_P(FullDisk, FullFromTheFirstWriteLeavesNoFileWithoutItsHeader) {
    {
        std::ofstream filler(disk_ + "/filler", std::ios::binary);
        const std::string block(4096, 'x');
        while (filler.write(block.data(), block.size())) {
        }
    }
    const std::string out = disk_ + "/out";
    const auto run = RunCapture({"--out", out, "--max-seconds", "1"}, BuildFolder());
    EXPECT_EQ(run.exitCode, 1) << run.errors;
    EXPECT_NE(run.errors.find("No space left on device"), std::string::npos) << run.errors;
    EXPECT_NE(access((out + "/frames.csv").c_str(), F_OK), 0);
    EXPECT_NE(access((out + "/audio.wav").c_str(), F_OK), 0);
}

INSTANTIATE_TEST_SUITE_P(Sizes, FullDisk, ::testing::Values("600k", "1m", "1700k"));

TEST(CaptureEnding, ASecondCtrlCGivesTheVideoUpAndTheFilesStillAgree) {
    if (!capturetest::ProgramAvailable("ffmpeg")) {
        GTEST_SKIP() << "ffmpeg is not installed";
    }
    TempFolder out;
    const auto run = capturetest::InterruptCapture({"--out", out.Path(), "--fps", "30", "--video",
                                                    out.Path() + "/show.mp4", "--size", "1920x1080",
                                                    "--preset", "medium"},
                                                   BuildFolder(), out.Path(), 30, 2);
    EXPECT_EQ(run.exitCode, 130) << run.errors;
    EXPECT_NE(run.errors.find("the video was given up"), std::string::npos) << run.errors;
    EXPECT_GE(ExpectFilesAgree(out.Path(), 30, true), 30u);
    EXPECT_NE(access((out.Path() + "/show.mp4").c_str(), F_OK), 0);
}

} // namespace
