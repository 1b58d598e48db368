// The video, checked with ffprobe: size, frame rate, frame count, duration, colour tags, sound.
#include "capture_runner.h"
#include "capture_png_writer.h"
#include "capture_video_encoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace {

using capturetest::BuildFolder;
using capturetest::DecodeRgb;
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

// The types of an MP4 file's top-level boxes, in the order they lie in the file.
std::vector<std::string> TopLevelBoxes(const std::string& path) {
    const std::string bytes = capturetest::ReadBytes(path);
    std::vector<std::string> boxes;
    std::size_t at = 0;
    while (at + 8 <= bytes.size()) {
        std::uint64_t size = 0;
        for (int i = 0; i < 4; ++i) {
            size = size << 8 | static_cast<unsigned char>(bytes[at + i]);
        }
        boxes.push_back(bytes.substr(at + 4, 4));
        if (size < 8) {
            break; // a box to the file's end, or a 64-bit size: not written here
        }
        at += size;
    }
    return boxes;
}

class CaptureVideo : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!capturetest::ProgramAvailable("ffmpeg") || !capturetest::ProgramAvailable("ffprobe")) {
            GTEST_SKIP() << "ffmpeg is not installed";
        }
    }

    // Captures to out/NAME with these options (plus --no-frames --quiet unless `frames`) and
    // probes the video; a failed capture fails the test.
    std::map<std::string, std::string> CaptureAndProbe(std::vector<std::string> options,
                                                       const std::string& name = "show.mp4",
                                                       bool frames = false) {
        const std::string video = out.Path() + "/" + name;
        std::vector<std::string> arguments = {"--out", out.Path(), "--video", video, "--quiet"};
        if (!frames) {
            arguments.push_back("--no-frames");
        }
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
    // The index comes before the pictures, so that a page can play the file while it loads.
    const std::vector<std::string> boxes = TopLevelBoxes(out.Path() + "/show.mp4");
    const auto index = std::find(boxes.begin(), boxes.end(), "moov");
    EXPECT_LT(index, std::find(boxes.begin(), boxes.end(), "mdat"))
        << ::testing::PrintToString(boxes);
    EXPECT_NE(index, boxes.end());
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

TEST_F(CaptureVideo, TheExtensionNamesTheContainerAndOthersAreRefused) {
    const auto mkv = CaptureAndProbe({"--size", "320x200", "--max-seconds", "0.5"}, "show.mkv");
    EXPECT_EQ(Field(mkv, "format_name"), "matroska,webm");
    EXPECT_EQ(Field(mkv, "0.codec_name"), "h264");
    EXPECT_EQ(Field(mkv, "1.codec_name"), "aac");
    // Matroska's bytes are as reproducible as MP4's.
    const std::string first = capturetest::ReadBytes(out.Path() + "/show.mkv");
    CaptureAndProbe({"--size", "320x200", "--max-seconds", "0.5"}, "show.mkv");
    EXPECT_TRUE(first == capturetest::ReadBytes(out.Path() + "/show.mkv"));
    const auto mov = CaptureAndProbe({"--size", "320x200", "--max-seconds", "0.5"}, "show.MOV");
    EXPECT_NE(Field(mov, "format_name").find("mov"), std::string::npos);
    const auto refused =
        RunCapture({"--out", out.Path() + "/x", "--video", "e.avi"}, BuildFolder());
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_NE(refused.errors.find("'e.avi'"), std::string::npos) << refused.errors;
    EXPECT_EQ(access((out.Path() + "/x").c_str(), F_OK), -1);
}

// The brightest byte in columns [from, to) of every row of a packed RGB frame.
int Brightest(const std::string& rgb, int width, int from, int to) {
    int most = 0;
    for (std::size_t at = 0; at < rgb.size(); at += static_cast<std::size_t>(width) * 3) {
        for (int x = from * 3; x < to * 3; ++x) {
            most = std::max(most, static_cast<int>(static_cast<unsigned char>(rgb[at + x])));
        }
    }
    return most;
}

TEST_F(CaptureVideo, SixteenByNineHasThePictureBetweenBlackBars) {
    const auto probe =
        CaptureAndProbe({"--size", "1920x1080", "--fps", "10", "--max-seconds", "1"});
    EXPECT_EQ(Field(probe, "0.width"), "1920");
    EXPECT_EQ(Field(probe, "0.height"), "1080");
    EXPECT_EQ(Field(probe, "0.sample_aspect_ratio"), "1:1");
    const auto frames = DecodeRgb(out.Path() + "/show.mp4", 1920, 1080);
    ASSERT_EQ(frames.size(), 10u);
    const std::string& last = frames.back(); // a main frame: the scene fills the picture
    EXPECT_LE(Brightest(last, 1920, 0, 240), 2);
    EXPECT_LE(Brightest(last, 1920, 1680, 1920), 2);
    // The floor reaches the picture's left edge, and its right one up to the four columns the
    // enlargement leaves black (source columns 316 to 319, from 1662 on).
    EXPECT_GT(Brightest(last, 1920, 240, 248), 25);
    EXPECT_GT(Brightest(last, 1920, 1650, 1660), 25);
}

// The picture is enlarged so that every source column (and row) is equally wide: one white
// column among black ones carries the same light wherever it stands.
TEST_F(CaptureVideo, EveryColumnAndRowComesOutEquallyThick) {
    for (const bool columns : {true, false}) {
        std::string picture(320 * 200 * 4, '\0');
        for (int y = 0; y < 200; ++y) {
            for (int x = 0; x < 320; ++x) {
                if ((columns ? x : y) % 2 == 0) {
                    picture.replace(static_cast<std::size_t>(y * 320 + x) * 4, 3, "\xff\xff\xff");
                }
            }
        }
        const std::string in = out.Path() + "/stripes.raw";
        std::ofstream(in, std::ios::binary) << picture;
        capture::CaptureOptions options;
        options.videoWidth = 1440; // 4.5 x 5.4
        options.videoHeight = 1080;
        options.lossless = true; // the same steps, in RGB
        const std::string result = out.Path() + "/stripes.mkv";
        const std::string command = "ffmpeg -v error -y -f rawvideo -pix_fmt bgr0 -s 320x200 -i '" +
                                    in + "' -vf '" + capture::VideoEncoder::Filters(options) +
                                    "' -c:v ffv1 '" + result + "'";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        const auto frames = DecodeRgb(result, 1440, 1080);
        ASSERT_EQ(frames.size(), 1u);
        const double scale = columns ? 4.5 : 5.4;
        const int sources = columns ? 320 : 200;
        for (int source = 0; source < sources; source += 2) {
            // From the middle of the black line before to the middle of the one after.
            const int from = std::max(0, static_cast<int>((source - 0.5) * scale));
            const int to =
                std::min(columns ? 1440 : 1080, static_cast<int>((source + 1.5) * scale));
            double light = 0.0;
            for (int at = from; at < to; ++at) {
                const std::size_t index = columns ? static_cast<std::size_t>(540 * 1440 + at) * 3
                                                  : static_cast<std::size_t>(at * 1440 + 720) * 3;
                light += static_cast<unsigned char>(frames[0][index]) / 255.0;
            }
            ASSERT_NEAR(light, source == 0 ? scale - 0.0 : scale, 0.35)
                << (columns ? "column " : "row ") << source;
        }
    }
}

TEST_F(CaptureVideo, LosslessKeepsEveryPixelOfTheFrames) {
    const auto probe = CaptureAndProbe(
        {"--lossless", "--size", "1600x1200", "--fps", "10", "--max-seconds", "0.5"}, "show.mkv",
        true);
    EXPECT_EQ(Field(probe, "0.codec_name"), "h264");
    const auto frames = DecodeRgb(out.Path() + "/show.mkv", 1600, 1200);
    ASSERT_EQ(frames.size(), 5u);
    for (std::size_t n = 0; n < frames.size(); ++n) {
        std::vector<std::uint32_t> png;
        int width = 0;
        int height = 0;
        std::string error;
        ASSERT_TRUE(capture::ReadPng(out.Path() + "/frames/" + capture::FrameFileName(n), png,
                                     width, height, error))
            << error;
        int wrong = 0;
        for (int y = 0; y < 1200; ++y) {
            for (int x = 0; x < 1600; ++x) {
                const std::uint32_t p = png[static_cast<std::size_t>(y / 6) * 320 + x / 5];
                const char* got = frames[n].data() + (static_cast<std::size_t>(y) * 1600 + x) * 3;
                const std::uint32_t v =
                    (static_cast<std::uint32_t>(static_cast<unsigned char>(got[0])) << 16) |
                    (static_cast<unsigned char>(got[1]) << 8) | static_cast<unsigned char>(got[2]);
                wrong += v != p ? 1 : 0;
            }
        }
        EXPECT_EQ(wrong, 0) << "frame " << n;
    }
}

} // namespace
