// The capture's folder: what Open makes and clears, what each frame adds, and the time estimate.
#include "capture_session.h"
#include "png_writer.h"
#include "progress_report.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
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
    ASSERT_TRUE(session.AddFrame(0, 0, capture::Phase::opening, picture.data(), error));
    picture[0] = 0x00FFFFFFu;
    ASSERT_TRUE(session.AddFrame(1, 3, capture::Phase::main, picture.data(), error));
    // Rows are on disk as soon as the frame is.
    EXPECT_EQ(ReadText(dir_ + "/frames.csv"), "frame,sync_count,phase\n0,0,opening\n1,3,main\n");
    std::vector<std::uint32_t> back;
    int width = 0;
    int height = 0;
    ASSERT_TRUE(capture::ReadPng(dir_ + "/frames/000001.png", back, width, height, error));
    EXPECT_EQ(width, 320);
    EXPECT_EQ(height, 200);
    EXPECT_EQ(back[0], 0x00FFFFFFu);
    EXPECT_EQ(back[1], 0x00123456u);
    EXPECT_TRUE(session.Close(error)) << error;
    EXPECT_FALSE(session.AddFrame(2, 3, capture::Phase::main, picture.data(), error));
}

TEST_F(SessionTest, NoFramesMeansNoPictures) {
    capture::CaptureOptions options;
    options.outDir = dir_;
    options.writeFrames = false;
    std::string error;
    capture::CaptureSession session;
    ASSERT_TRUE(session.Open(options, error)) << error;
    std::vector<std::uint32_t> picture(320 * 200, 0u);
    ASSERT_TRUE(session.AddFrame(0, 0, capture::Phase::opening, picture.data(), error));
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
}

} // namespace
