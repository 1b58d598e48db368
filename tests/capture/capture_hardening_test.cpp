// zarvo-capture against what could lead it astray: a song over at once, links and foreign folders
// where it writes, video names that read as options or protocols, a failing ffmpeg, and the
// small roads of the command line. Each ends with its exit code and a message, and nothing
// outside the output folder and the named video is written or removed.
#include "capture_runner.h"
#include "xm_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

using capturetest::BuildFolder;
using capturetest::CountFiles;
using capturetest::ExpectFilesAgree;
using capturetest::ReadBytes;
using capturetest::ReadCsv;
using capturetest::ReadWavInfo;
using capturetest::RunCapture;
using capturetest::TempFolder;
using capturetest::TempFolderTest;

bool IsRegularFile(const std::string& path) {
    struct stat info {};
    return lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool Exists(const std::string& path) {
    struct stat info {};
    return lstat(path.c_str(), &info) == 0;
}

// A show that ends by itself in 6.5 s: 31 sync commands a row at the fastest tempo bring the
// count near the show's end in a second, then two a row, slow enough for the fade to finish.
xmtest::Song ShortShow() {
    auto dense = [](int perRow) {
        xmtest::Pattern pattern;
        pattern.cells.assign(64, std::vector<xmtest::Cell>(32));
        for (auto& row : pattern.cells) {
            for (int channel = 1; channel <= perRow; ++channel) {
                row[channel].effect = xmtest::kEffectSync;
            }
        }
        pattern.cells[0][0].note = 49;
        pattern.cells[0][0].instrument = 1;
        return pattern;
    };
    xmtest::Song song;
    song.channels = 32;
    song.speed = 1;
    song.bpm = 255;
    song.patterns = {dense(31), dense(2)};
    song.orders = {0, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
    return song;
}

TEST(CaptureBounds, ASongOverAtOnceEndsTheCaptureAtOnceWithCodeFour) {
    xmtest::Song empty; // an order list and no pattern at all
    empty.orders = {0};
    xmtest::Song past; // an order list that points past the one pattern
    past.orders = {5};
    past.patterns.push_back(xmtest::PatternWithSyncs(64, {0, 1}));
    for (const xmtest::Song& song : {empty, past}) {
        TempFolder work;
        ASSERT_TRUE(xmtest::WriteXm(song, work.Path() + "/Zarvo.xm"));
        // PNG frames and no limit: before, this wrote 5 MB a second until the disk was full.
        const auto run = RunCapture({"--out", work.Path() + "/out"}, work.Path());
        EXPECT_EQ(run.exitCode, 4) << run.errors;
        EXPECT_NE(run.errors.find("the module's song is over at once"), std::string::npos)
            << run.errors;
        EXPECT_EQ(ExpectFilesAgree(work.Path() + "/out", 60, true), 0u);
        EXPECT_EQ(ReadWavInfo(work.Path() + "/out/audio.wav").frames, 0);
    }
}

// What is not the capture's: a file and a folder with a frame and a partial frame in it.
class CaptureOutputFolder : public TempFolderTest {
  protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        std::ofstream(dir_ + "/victim.txt") << "precious";
        ASSERT_EQ(mkdir((dir_ + "/elsewhere").c_str(), 0755), 0);
        std::ofstream(dir_ + "/elsewhere/000000.png") << "not this capture's";
        std::ofstream(dir_ + "/elsewhere/000001.png.part") << "not this capture's";
    }
    void ExpectNothingElsewhereTouched() {
        EXPECT_EQ(ReadBytes(dir_ + "/victim.txt"), "precious");
        EXPECT_EQ(ReadBytes(dir_ + "/elsewhere/000000.png"), "not this capture's");
        EXPECT_EQ(ReadBytes(dir_ + "/elsewhere/000001.png.part"), "not this capture's");
        EXPECT_EQ(CountFiles(dir_ + "/elsewhere", ""), 4) << "., .. and the two files";
    }
    void Link(const std::string& target, const std::string& name) {
        ASSERT_EQ(symlink(target.c_str(), (dir_ + "/" + name).c_str()), 0) << name;
    }
};

TEST_F(CaptureOutputFolder, LinksInTheFolderAreReplacedNeverFollowed) {
    const bool video = capturetest::ProgramAvailable("ffmpeg");
    ASSERT_EQ(mkdir((dir_ + "/out").c_str(), 0755), 0);
    ASSERT_EQ(mkdir((dir_ + "/out/frames").c_str(), 0755), 0);
    std::vector<std::string> names = {"out/audio.wav", "out/frames.csv"};
    if (video) {
        names.insert(names.end(), {"out/show.mp4.part", "out/show.mp4.video.part"});
    }
    for (const std::string& name : names) {
        Link("../victim.txt", name);
    }
    Link("../../victim.txt", "out/frames/000002.png.part");
    std::vector<std::string> args = {"--out", "out", "--fps", "30", "--max-seconds", "0.2"};
    if (video) {
        args.insert(args.end(), {"--video", "out/show.mp4", "--size", "320x200"});
    }
    const auto run = RunCapture(args, dir_);
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    ExpectNothingElsewhereTouched();
    EXPECT_EQ(ExpectFilesAgree(dir_ + "/out", 30, true), 6u);
    EXPECT_TRUE(IsRegularFile(dir_ + "/out/audio.wav"));
    EXPECT_TRUE(IsRegularFile(dir_ + "/out/frames.csv"));
    if (video) {
        EXPECT_EQ(capturetest::Probe(dir_ + "/out/show.mp4")["0.nb_frames"], "6");
    }
}

TEST_F(CaptureOutputFolder, AFolderThatIsALinkOrAnotherUsersIsRefused) {
    struct Case {
        const char* what;
        std::vector<std::string> extra;
        std::string message;
    };
    const std::vector<Case> cases = {
        {"out a link", {}, "'out' is a symbolic link"},
        {"out/frames a link", {}, "'out/frames' is a symbolic link"},
        {"out/frames a link", {"--no-frames"}, "'out/frames' is a symbolic link"},
        {"out another user's", {}, "'out' belongs to another user (uid 65534)"},
    };
    for (const Case& c : cases) {
        const std::string what = c.what;
        ASSERT_EQ(std::system(("rm -rf '" + dir_ + "/out'").c_str()), 0);
        if (what == "out a link") {
            Link("elsewhere", "out");
        } else {
            ASSERT_EQ(mkdir((dir_ + "/out").c_str(), 0755), 0);
        }
        if (what == "out/frames a link") {
            Link("../elsewhere", "out/frames");
        }
        if (what == "out another user's" && chown((dir_ + "/out").c_str(), 65534, 65534) != 0) {
            continue; // only the superuser can give a folder away
        }
        std::vector<std::string> args = {"--out", "out", "--max-seconds", "0.2"};
        args.insert(args.end(), c.extra.begin(), c.extra.end());
        const auto run = RunCapture(args, dir_);
        EXPECT_EQ(run.exitCode, 1) << what << ": " << run.errors;
        EXPECT_EQ(run.errors, "zarvo-capture: " + c.message +
                                  "; the capture writes and removes files only in a folder of "
                                  "its own" +
                                  (what == "out another user's" ? "" : ", not through a link") +
                                  "\n")
            << what;
        ExpectNothingElsewhereTouched();
        EXPECT_FALSE(Exists(dir_ + "/out/frames.csv")) << what;
        EXPECT_FALSE(Exists(dir_ + "/out/audio.wav")) << what;
    }
}

class CaptureVideoNames : public TempFolderTest {
  protected:
    void SetUp() override {
        if (!capturetest::ProgramAvailable("ffmpeg") || !capturetest::ProgramAvailable("ffprobe")) {
            GTEST_SKIP() << "ffmpeg is not installed";
        }
        TempFolderTest::SetUp();
    }
    capturetest::RunResult Capture(const std::string& video) {
        return RunCapture({"--out", "out", "--no-frames", "--fps", "10", "--max-seconds", "0.5",
                           "--quiet", "--video", video, "--size", "320x200"},
                          dir_);
    }
};

TEST_F(CaptureVideoNames, AnyNameIsAFileName) {
    // Read by ffmpeg as an option, a protocol, the file protocol's own prefix; and a link whose
    // target does not exist: the video takes the link's place, and no file appears at its target.
    ASSERT_EQ(symlink("gone/target.mp4", (dir_ + "/dangling.mp4").c_str()), 0);
    for (const std::string name : {"-x.mp4", "take:1.mp4", "file:ok.mp4", "dangling.mp4"}) {
        const auto run = Capture(name);
        EXPECT_EQ(run.exitCode, 0) << name << ": " << run.errors;
        EXPECT_EQ(run.errors, "") << name;
        EXPECT_TRUE(IsRegularFile(dir_ + "/" + name)) << name;
        EXPECT_EQ(capturetest::Probe(dir_ + "/" + name)["0.nb_frames"], "5") << name;
        EXPECT_EQ(CountFiles(dir_, ".part"), 0) << name;
    }
    EXPECT_FALSE(Exists(dir_ + "/gone"));
    EXPECT_FALSE(Exists(dir_ + "/ok.mp4"));
}

// ffmpeg does its work and then fails, in one pass or the other: its part file is removed.
TEST_F(CaptureVideoNames, AFailedVideoLeavesNoPartFile) {
    const std::string bin = dir_ + "/bin";
    ASSERT_EQ(mkdir(bin.c_str(), 0755), 0);
    const char* path = std::getenv("PATH");
    const std::string oldPath = path != nullptr ? path : "/usr/bin:/bin";
    for (const std::string pass : {"encode", "mux"}) {
        {
            std::ofstream script(bin + "/ffmpeg");
            script << "#!/bin/sh\n"
                      "pass=other\n"
                      "for a in \"$@\"; do\n"
                      "  case \"$a\" in rawvideo) pass=encode ;; aac) pass=mux ;; esac\n"
                      "done\n"
                      "PATH='"
                   << oldPath << "' ffmpeg \"$@\" || exit\n"
                   << "[ $pass = " << pass << " ] && exit 1\n"
                   << "exit 0\n";
        }
        ASSERT_EQ(chmod((bin + "/ffmpeg").c_str(), 0755), 0);
        setenv("PATH", (bin + ":" + oldPath).c_str(), 1);
        const auto run = Capture("show.mkv");
        setenv("PATH", oldPath.c_str(), 1);
        EXPECT_EQ(run.exitCode, 1) << pass << ": " << run.errors;
        EXPECT_NE(run.errors.find(pass == "encode" ? "the video could not be encoded"
                                                   : "the video could not be joined"),
                  std::string::npos)
            << run.errors;
        EXPECT_FALSE(Exists(dir_ + "/show.mkv")) << pass;
        EXPECT_EQ(CountFiles(dir_, ".part"), 0) << pass;
        EXPECT_EQ(ExpectFilesAgree(dir_ + "/out", 10, false), 5u) << pass;
    }
}

TEST(CaptureCommandLine, SmallRoadsEndWithTheirCodeAndOneMessage) {
    TempFolder work;
    const auto version = RunCapture({"--version"}, work.Path());
    EXPECT_EQ(version.exitCode, 0);
    int major = -1;
    int minor = -1;
    int patch = -1;
    char end = 0;
    EXPECT_EQ(std::sscanf(version.output.c_str(), "zarvo-capture %d.%d.%d%c", &major, &minor,
                          &patch, &end),
              4)
        << version.output;
    EXPECT_EQ(end, '\n') << version.output;
    EXPECT_EQ(version.output.find('\n'), version.output.size() - 1) << version.output;
    // The video's settings without a video: refused by name rather than ignored.
    for (const std::string option :
         {"--size=1920x1080", "--crf=20", "--preset=placebo", "--lossless"}) {
        const auto run = RunCapture({"--no-frames", option}, work.Path());
        EXPECT_EQ(run.exitCode, 2) << option;
        const std::string name = option.substr(0, option.find('='));
        EXPECT_EQ(run.errors.rfind("zarvo-capture: " + name +
                                       " is a setting of the video: give --video FILE too\n",
                                   0),
                  0u)
            << run.errors;
    }
    EXPECT_FALSE(Exists(work.Path() + "/capture")) << "nothing was started";

    // A corrupt module: the intro's message is the last word about the show, no progress line.
    std::ofstream(work.Path() + "/Zarvo.xm") << "not a module";
    const auto corrupt = RunCapture({"--out", "out"}, work.Path());
    EXPECT_EQ(corrupt.exitCode, 3);
    const std::size_t box = corrupt.errors.find("Lamers: The module 'Zarvo.xm'");
    ASSERT_NE(box, std::string::npos) << corrupt.errors;
    EXPECT_EQ(corrupt.errors.find("frame 0"), std::string::npos) << corrupt.errors;
    // A module of the user's own that is missing: both lines name it, not the intro's.
    const auto missing = RunCapture({"--out", "out", "--module", "mine.xm"}, work.Path());
    EXPECT_EQ(missing.exitCode, 3);
    EXPECT_NE(missing.errors.find("Error: Sceners: MIDASloadModule() failed (Unable to open file "
                                  "'mine.xm': No such file or directory).\r\nLamers: The module "
                                  "'mine.xm' is missing or corrupt.\n"),
              std::string::npos)
        << missing.errors;
}

TEST(CaptureCommandLine, AStartPastTheShowsEndSaysSoWithCodeTwo) {
    TempFolder work;
    ASSERT_TRUE(xmtest::WriteXm(ShortShow(), work.Path() + "/Zarvo.xm"));
    const auto whole = RunCapture({"--out", "out", "--no-frames", "--quiet"}, work.Path());
    ASSERT_EQ(whole.exitCode, 0) << whole.errors;
    const std::size_t frames = ReadCsv(work.Path() + "/out/frames.csv").size();
    ASSERT_GT(frames, 300u); // about 6.5 s at 60 frames a second
    ASSERT_LT(frames, 480u);
    const auto late = RunCapture({"--out", "out", "--no-frames", "--start", "8"}, work.Path());
    EXPECT_EQ(late.exitCode, 2) << late.errors;
    EXPECT_NE(late.errors.find("zarvo-capture: --start 8.00 lies past the show's end: the show "
                               "ended at " +
                               std::to_string(frames / 60) + "."),
              std::string::npos)
        << late.errors;
    EXPECT_EQ(ExpectFilesAgree(work.Path() + "/out", 60, false), 0u);
}

// The speed in the summary is the files' show time against the time taken: the part skipped
// before --start is not counted (it made a 2 s capture from 100 s read 253x real time).
TEST(CaptureCommandLine, TheSpeedCountsOnlyThePartInTheFiles) {
    TempFolder out;
    const auto run = RunCapture(
        {"--out", out.Path(), "--no-frames", "--start", "20", "--max-seconds", "1"}, BuildFolder());
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    const std::size_t at = run.errors.find(" s of show (from 20.00 s), in ");
    ASSERT_NE(at, std::string::npos) << run.errors;
    const std::size_t number = run.errors.find_last_not_of("0123456789.", at - 1) + 1;
    double file = 0.0;
    double wall = 0.0;
    double speed = 0.0;
    ASSERT_EQ(std::sscanf(run.errors.c_str() + number,
                          "%lf s of show (from 20.00 s), in %lf s: %lfx real time", &file, &wall,
                          &speed),
              3)
        << run.errors;
    wall = std::max(wall, 0.05); // printed to a tenth
    EXPECT_DOUBLE_EQ(file, 1.0);
    // Within the rounding of the printed time, and far from (20 + 1) / wall.
    EXPECT_LT(speed, 2.0 * file / wall) << run.errors;
    EXPECT_GT(speed, 0.5 * file / (wall + 0.05)) << run.errors;
}

} // namespace
