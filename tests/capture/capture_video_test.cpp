// The video, checked with ffprobe: size, frame rate, frame count, duration, colour tags, sound.
#include "capture_runner.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <string>
#include <vector>

namespace {

using capturetest::BuildFolder;
using capturetest::Probe;
using capturetest::RunCapture;
using capturetest::TempFolder;

std::string Field(const std::map<std::string, std::string>& probe, const std::string& key) {
    const auto it = probe.find(key);
    return it != probe.end() ? it->second : "(missing " + key + ")";
}

double Seconds(const std::map<std::string, std::string>& probe, const std::string& key) {
    const auto it = probe.find(key);
    return it != probe.end() ? std::atof(it->second.c_str()) : -1.0;
}

class CaptureVideo : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!capturetest::ProgramAvailable("ffmpeg") || !capturetest::ProgramAvailable("ffprobe")) {
            GTEST_SKIP() << "ffmpeg is not installed";
        }
    }

    // Captures to out/show.mp4 with these options (plus --no-frames --quiet) and probes the video;
    // a failed capture fails the test.
    std::map<std::string, std::string> CaptureAndProbe(std::vector<std::string> options) {
        const std::string video = out.Path() + "/show.mp4";
        std::vector<std::string> arguments = {"--out", out.Path(),    "--video",
                                              video,   "--no-frames", "--quiet"};
        arguments.insert(arguments.end(), options.begin(), options.end());
        const auto run = RunCapture(arguments, BuildFolder());
        EXPECT_EQ(run.exitCode, 0) << run.errors;
        return Probe(video);
    }

    TempFolder out;
};

TEST_F(CaptureVideo, ChosenSizeAndRateWithSoundOfTheSameLength) {
    const auto probe = CaptureAndProbe({"--size", "960x720", "--fps", "30", "--max-seconds", "2"});
    EXPECT_EQ(Field(probe, "0.codec_name"), "h264");
    EXPECT_EQ(Field(probe, "0.width"), "960");
    EXPECT_EQ(Field(probe, "0.height"), "720");
    EXPECT_EQ(Field(probe, "0.pix_fmt"), "yuv444p");
    EXPECT_EQ(Field(probe, "0.r_frame_rate"), "30/1");
    EXPECT_EQ(Field(probe, "0.avg_frame_rate"), "30/1");
    EXPECT_EQ(Field(probe, "0.nb_frames"), "60");
    EXPECT_NEAR(Seconds(probe, "0.duration"), 2.0, 0.001);
    EXPECT_EQ(Field(probe, "0.color_space"), "bt709");
    EXPECT_EQ(Field(probe, "0.color_primaries"), "bt709");
    EXPECT_EQ(Field(probe, "0.color_transfer"), "bt709");
    EXPECT_EQ(Field(probe, "0.color_range"), "tv");
    EXPECT_EQ(Field(probe, "0.sample_aspect_ratio"), "1:1");
    EXPECT_EQ(Field(probe, "1.codec_name"), "aac");
    EXPECT_EQ(Field(probe, "1.sample_rate"), "48000");
    EXPECT_EQ(Field(probe, "1.channels"), "2");
    EXPECT_NEAR(Seconds(probe, "1.duration"), 2.0, 0.03);
    EXPECT_EQ(capturetest::CountFiles(out.Path(), ".part"), 0);
}

TEST_F(CaptureVideo, DefaultSizeIsSixteenHundredByTwelveHundredAtSixty) {
    const auto probe = CaptureAndProbe({"--max-seconds", "0.5"});
    EXPECT_EQ(Field(probe, "0.width"), "1600");
    EXPECT_EQ(Field(probe, "0.height"), "1200");
    EXPECT_EQ(Field(probe, "0.r_frame_rate"), "60/1");
    EXPECT_EQ(Field(probe, "0.nb_frames"), "30");
}

TEST_F(CaptureVideo, NativeSizeIsTaggedToShowAtFourToThree) {
    const auto probe =
        CaptureAndProbe({"--size", "320x200", "--fps", "30000/1001", "--max-seconds", "1"});
    EXPECT_EQ(Field(probe, "0.width"), "320");
    EXPECT_EQ(Field(probe, "0.height"), "200");
    EXPECT_EQ(Field(probe, "0.sample_aspect_ratio"), "5:6");
    EXPECT_EQ(Field(probe, "0.r_frame_rate"), "30000/1001");
    EXPECT_EQ(Field(probe, "0.nb_frames"), "29");
}

} // namespace
