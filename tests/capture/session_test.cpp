// The capture's folder: what Open makes and clears, what each frame adds, and the time estimate.
#include "capture_session.h"
#include "capture_png_writer.h"
#include "capture_progress_report.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <csignal>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

bool Exists(const std::string& path) {
    return access(path.c_str(), F_OK) == 0;
}

std::string ReadText(const std::string& path) {
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

class SessionTest : public capturetest::TempFolderTest {};

TEST_F(SessionTest, OpenMakesNestedFoldersAndClearsOnlyOldNumberedFrames) {
    capture::CaptureOptions options;
    options.outDir = dir_ + "/a/b";
    std::string error;
    ASSERT_TRUE(capture::MakeFolders(options.outDir + "/frames", error)) << error;
    std::ofstream(options.outDir + "/frames/000007.png") << "old";
    std::ofstream(options.outDir + "/frames/1234567.png.part") << "old";
    std::ofstream(options.outDir + "/frames/notes.txt") << "mine";
    std::ofstream(options.outDir + "/frames/12.png") << "mine";

    capture::CaptureSession session;
    ASSERT_TRUE(session.Open(options, error)) << error;
    EXPECT_FALSE(Exists(options.outDir + "/frames/000007.png"));
    EXPECT_FALSE(Exists(options.outDir + "/frames/1234567.png.part"));
    EXPECT_TRUE(Exists(options.outDir + "/frames/notes.txt"));
    EXPECT_TRUE(Exists(options.outDir + "/frames/12.png"));
    EXPECT_EQ(ReadText(options.outDir + "/frames.csv"), "frame,sync_count,phase\n");
    EXPECT_TRUE(Exists(options.outDir + "/audio.wav"));
    EXPECT_TRUE(session.Close(error)) << error;
}

TEST_F(SessionTest, EachFrameAddsItsPictureAndItsRow) {
    capture::CaptureOptions options;
    options.outDir = dir_;
    std::string error;
    capture::CaptureSession session;
    ASSERT_TRUE(session.Open(options, error)) << error;
    std::vector<std::uint32_t> picture(320 * 200, 0x00123456u);
    const std::vector<std::int16_t> sound(2 * 800, 7);
    ASSERT_TRUE(
        session.AddFrame(0, capture::Phase::opening, picture.data(), sound.data(), 800, error));
    picture[0] = 0x00FFFFFFu;
    ASSERT_TRUE(
        session.AddFrame(3, capture::Phase::main, picture.data(), sound.data(), 800, error));
    // Rows and sound are on disk as soon as the frame is; pictures once the workers are done.
    EXPECT_EQ(ReadText(dir_ + "/frames.csv"), "frame,sync_count,phase\n0,0,opening\n1,3,main\n");
    EXPECT_EQ(ReadText(dir_ + "/audio.wav").size(), 44u + 2 * 800 * 4);
    EXPECT_TRUE(session.Close(error)) << error;
    std::vector<std::uint32_t> back;
    int width = 0;
    int height = 0;
    ASSERT_TRUE(capture::ReadPng(dir_ + "/frames/000001.png", back, width, height, error));
    EXPECT_EQ(width, 320);
    EXPECT_EQ(height, 200);
    EXPECT_EQ(back[0], 0x00FFFFFFu);
    EXPECT_EQ(back[1], 0x00123456u);
    EXPECT_FALSE(
        session.AddFrame(3, capture::Phase::main, picture.data(), sound.data(), 800, error));
}

// Frames whose pictures are written, each with a different first pixel, and 100 sample frames.
void AddFrames(capture::CaptureSession& session, int count) {
    std::vector<std::uint32_t> picture(320 * 200, 0u);
    const std::vector<std::int16_t> sound(2 * 100, 1);
    std::string error;
    for (int i = 0; i < count; ++i) {
        picture[0] = static_cast<std::uint32_t>(i);
        if (!session.AddFrame(static_cast<std::uint32_t>(i), capture::Phase::main, picture.data(),
                              sound.data(), 100, error)) {
            return;
        }
    }
}

// The files agree: `frames` rows, the sound of exactly those frames, their pictures and no
// other frame file, whole or partial.
void ExpectFilesAgree(const std::string& dir, int frames) {
    std::istringstream rows(ReadText(dir + "/frames.csv"));
    std::string line;
    int count = -1;
    while (std::getline(rows, line)) {
        ++count;
    }
    EXPECT_EQ(count, frames);
    EXPECT_EQ(ReadText(dir + "/audio.wav").size(), 44u + static_cast<std::size_t>(frames) * 400);
    for (int i = 0; i < frames + 8; ++i) {
        const std::string png = dir + "/frames/" + capture::FrameFileName(i);
        EXPECT_EQ(Exists(png), i < frames) << png;
        EXPECT_FALSE(Exists(png + ".part")) << png;
    }
}

TEST_F(SessionTest, APictureThatCannotBeWrittenTakesItsFrameAndTheLaterOnesBack) {
    capture::CaptureOptions options;
    options.outDir = dir_;
    std::string error;
    ASSERT_TRUE(capture::MakeFolders(dir_ + "/frames/000005.png", error)); // in the way
    capture::CaptureSession session;
    session.SetPngThreads(2);
    ASSERT_TRUE(session.Open(options, error)) << error;
    AddFrames(session, 12);
    EXPECT_FALSE(session.Close(error));
    EXPECT_NE(error.find("000005.png"), std::string::npos) << error;
    rmdir((dir_ + "/frames/000005.png").c_str());
    ExpectFilesAgree(dir_, 5);
}

TEST_F(SessionTest, SoundThatCannotBeWrittenTakesItsFrameBack) {
    // A child process with a file size limit: the WAV reaches it within the fourth frame (44 +
    // 3 x 400 bytes fit, the fourth frame's do not), while the PNG frames stay below it.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{1500, 1500};
        setrlimit(RLIMIT_FSIZE, &limit);
        capture::CaptureOptions options;
        options.outDir = dir_;
        options.writeFrames = false;
        std::string error;
        capture::CaptureSession session;
        const bool opened = session.Open(options, error);
        AddFrames(session, 6);
        const bool closed = session.Close(error);
        _exit(opened && !closed && error.find("audio.wav") != std::string::npos ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(ReadText(dir_ + "/frames.csv"),
              "frame,sync_count,phase\n0,0,main\n1,1,main\n2,2,main\n");
    EXPECT_EQ(ReadText(dir_ + "/audio.wav").size(), 44u + 3 * 400);
}

TEST_F(SessionTest, NoFramesMeansNoPictures) {
    capture::CaptureOptions options;
    options.outDir = dir_;
    options.writeFrames = false;
    std::string error;
    capture::CaptureSession session;
    ASSERT_TRUE(session.Open(options, error)) << error;
    std::vector<std::uint32_t> picture(320 * 200, 0u);
    const std::int16_t sound[2] = {0, 0};
    ASSERT_TRUE(session.AddFrame(0, capture::Phase::opening, picture.data(), sound, 1, error));
    EXPECT_FALSE(Exists(dir_ + "/frames/000000.png"));
    EXPECT_TRUE(session.Close(error));
}

TEST_F(SessionTest, AFileWhereTheFolderShouldBeIsReported) {
    std::ofstream(dir_ + "/taken") << "a file";
    capture::CaptureOptions options;
    options.outDir = dir_ + "/taken";
    std::string error;
    capture::CaptureSession session;
    EXPECT_FALSE(session.Open(options, error));
    EXPECT_NE(error.find("taken"), std::string::npos) << error;
}

TEST_F(SessionTest, AVideoThatCannotBeWrittenIsReportedBeforeTheCaptureStarts) {
    capture::CaptureOptions options;
    options.outDir = dir_;
    options.videoFile = dir_ + "/no/such/folder/show.mp4";
    std::string error;
    capture::CaptureSession session;
    EXPECT_FALSE(session.Open(options, error));
    EXPECT_NE(error.find("show.mp4"), std::string::npos) << error;
}

TEST(ProgressEstimate, TimeLeftFollowsTheSyncRateAndTheLimit) {
    capture::ProgressState state;
    state.phase = capture::Phase::main;
    state.syncCount = 1000;
    state.showSeconds = 50.0; // 20 sync events a second
    state.wallSeconds = 25.0; // twice real time
    // (4994 - 1000) / 20 = 199.7 s of show, at twice real time.
    EXPECT_NEAR(capture::EstimateSecondsLeft(state), 99.85, 0.01);
    state.maxSeconds = 60.0;
    EXPECT_NEAR(capture::EstimateSecondsLeft(state), 5.0, 0.01);
    state.phase = capture::Phase::fade;
    EXPECT_NEAR(capture::EstimateSecondsLeft(state), 0.0, 0.01);
    state.wallSeconds = 0.0;
    EXPECT_LT(capture::EstimateSecondsLeft(state), 0.0);
    const std::string line = capture::FormatProgress(state);
    EXPECT_NE(line.find("sync 1000"), std::string::npos) << line;
    EXPECT_NE(line.find("fade"), std::string::npos) << line;
    EXPECT_NE(line.find("100%"), std::string::npos) << line;
}

TEST(ProgressEstimate, AShowThatHoldsIsExpectedToStopAtTheSongsEnd) {
    capture::ProgressState state;
    state.phase = capture::Phase::main;
    state.syncCount = 1000;
    state.showSeconds = 50.0; // 20 sync events a second: the show would end at 249.7 s
    state.songSeconds = 200.0;
    EXPECT_NEAR(capture::ExpectedShowSeconds(state), 200.0, 1e-9);
    EXPECT_NE(capture::FormatProgress(state).find(" 25%"), std::string::npos)
        << capture::FormatProgress(state);
    state.phase = capture::Phase::hold;
    EXPECT_NEAR(capture::ExpectedShowSeconds(state), 200.0, 1e-9);
    state.maxSeconds = 300.0; // a limit replaces the song's end
    EXPECT_NEAR(capture::ExpectedShowSeconds(state), 300.0, 1e-9);
    state.phase = capture::Phase::opening;
    state.syncCount = 0;
    state.maxSeconds = 0.0;
    state.songSeconds = 0.0;
    EXPECT_LT(capture::ExpectedShowSeconds(state), 0.0);
    EXPECT_NE(capture::FormatProgress(state).find("--%"), std::string::npos);
}

} // namespace
