// The ffmpeg command lines: the settings that make the video correct and reproducible.
#include "video_encoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using Args = std::vector<std::string>;

// The value that follows `option`, or "" when the option is absent.
std::string ValueOf(const Args& args, const std::string& option) {
    const auto it = std::find(args.begin(), args.end(), option);
    return it != args.end() && it + 1 != args.end() ? *(it + 1) : "";
}

TEST(VideoArguments, EncodingHasAFixedThreadCountIsBitExactAndTaggedBt709) {
    capture::CaptureOptions options;
    options.fps = {30000, 1001};
    const Args args = capture::VideoEncoder::EncodeArguments(options, "out.video.part");
    EXPECT_EQ(ValueOf(args, "-pix_fmt"), "bgr0"); // the input: 0x00RRGGBB words in memory
    EXPECT_EQ(ValueOf(args, "-s"), "320x200");
    EXPECT_EQ(ValueOf(args, "-framerate"), "30000/1001");
    EXPECT_EQ(ValueOf(args, "-c:v"), "libx264");
    // "0" (automatic) would make the bytes depend on the machine's core count.
    const std::string threads = ValueOf(args, "-threads");
    EXPECT_FALSE(threads.empty());
    EXPECT_NE(threads, "0");
    EXPECT_EQ(threads.find_first_not_of("0123456789"), std::string::npos) << threads;
    EXPECT_EQ(ValueOf(args, "-fflags"), "+bitexact");
    EXPECT_EQ(ValueOf(args, "-flags:v"), "+bitexact");
    EXPECT_EQ(ValueOf(args, "-map_metadata"), "-1");
    EXPECT_EQ(ValueOf(args, "-colorspace"), "bt709");
    EXPECT_EQ(ValueOf(args, "-color_primaries"), "bt709");
    EXPECT_EQ(ValueOf(args, "-color_trc"), "bt709");
    EXPECT_EQ(ValueOf(args, "-color_range"), "tv");
    const std::string filter = ValueOf(args, "-vf");
    // The conversion matrix is the one tagged, and the enlargement is nearest neighbour.
    EXPECT_NE(filter.find("out_color_matrix=bt709"), std::string::npos) << filter;
    EXPECT_NE(filter.find("out_range=tv"), std::string::npos) << filter;
    EXPECT_NE(filter.find("scale=1600:1200:flags=neighbor"), std::string::npos) << filter;
    EXPECT_NE(filter.find("format=yuv420p"), std::string::npos) << filter;
    EXPECT_EQ(args.back(), "out.video.part");
}

TEST(VideoArguments, NativeSizeKeepsTheFourToThreeShapeThroughItsPixelAspect) {
    capture::CaptureOptions options;
    options.videoWidth = 320;
    options.videoHeight = 200;
    const std::string filter = ValueOf(capture::VideoEncoder::EncodeArguments(options, "v"), "-vf");
    EXPECT_NE(filter.find("setsar=5/6"), std::string::npos) << filter;
    EXPECT_EQ(filter.find("neighbor"), std::string::npos) << filter;
}

TEST(VideoArguments, MuxingCopiesTheVideoAndEncodesTheWavAsAac) {
    const Args args = capture::VideoEncoder::MuxArguments("v.part", "out/audio.wav", "x.part");
    EXPECT_EQ(ValueOf(args, "-c:v"), "copy");
    EXPECT_EQ(ValueOf(args, "-c:a"), "aac");
    EXPECT_EQ(ValueOf(args, "-map_metadata"), "-1");
    EXPECT_EQ(ValueOf(args, "-fflags"), "+bitexact");
    EXPECT_EQ(ValueOf(args, "-flags:a"), "+bitexact");
    EXPECT_NE(std::find(args.begin(), args.end(), "out/audio.wav"), args.end());
    EXPECT_EQ(args.back(), "x.part");
}

} // namespace
