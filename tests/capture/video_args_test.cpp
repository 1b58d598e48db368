// The ffmpeg command lines and the picture's layout: the settings that make the video correct and
// reproducible.
#include "capture_video_encoder.h"
#include "capture_video_layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using Args = std::vector<std::string>;

// The value that follows the option's occurrence number `which` (from 0), or "" when absent.
std::string ValueOf(const Args& args, const std::string& option, int which = 0) {
    auto it = std::find(args.begin(), args.end(), option);
    for (int i = 0; i < which && it != args.end(); ++i) {
        it = std::find(it + 1, args.end(), option);
    }
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
    EXPECT_EQ(ValueOf(args, "-crf"), std::to_string(capture::kDefaultCrf));
    EXPECT_EQ(ValueOf(args, "-preset"), capture::kDefaultPreset);
    // Chroma at full resolution: no colour bleeds across the enlarged pixels' edges.
    EXPECT_EQ(ValueOf(args, "-pix_fmt", 1), "yuv444p");
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
    EXPECT_EQ(filter.find("area"), std::string::npos) << filter; // 5 x 6 exactly
    EXPECT_EQ(filter.find("pad"), std::string::npos) << filter;
    EXPECT_EQ(args.back(), "out.video.part");
}

TEST(VideoLayout, WholeFactorsFirstThenOneSmoothStepThenBars) {
    struct Expected {
        int width, height, pictureWidth, left, enlargedWidth, enlargedHeight;
    };
    for (const Expected& e :
         {Expected{1600, 1200, 1600, 0, 1600, 1200}, Expected{1440, 1080, 1440, 0, 1600, 1200},
          Expected{960, 720, 960, 0, 960, 800}, Expected{1920, 1080, 1440, 240, 1600, 1200},
          Expected{2560, 1440, 1920, 320, 1920, 1600},
          Expected{3840, 2160, 2880, 480, 2880, 2200}}) {
        const capture::VideoLayout layout = capture::LayoutFor(e.width, e.height);
        EXPECT_EQ(layout.pictureWidth, e.pictureWidth) << e.width;
        EXPECT_EQ(layout.pictureHeight, e.height) << e.width;
        EXPECT_EQ(layout.left, e.left) << e.width;
        EXPECT_EQ(layout.top, 0) << e.width;
        EXPECT_EQ(layout.enlargedWidth, e.enlargedWidth) << e.width;
        EXPECT_EQ(layout.enlargedHeight, e.enlargedHeight) << e.width;
        EXPECT_EQ(layout.SmoothStep(),
                  e.enlargedWidth != e.pictureWidth || e.enlargedHeight != e.height);

        capture::CaptureOptions options;
        options.videoWidth = e.width;
        options.videoHeight = e.height;
        const std::string filter = capture::VideoEncoder::Filters(options);
        EXPECT_NE(filter.find("scale=" + std::to_string(e.enlargedWidth) + ":" +
                              std::to_string(e.enlargedHeight) + ":flags=neighbor"),
                  std::string::npos)
            << filter;
        EXPECT_EQ(filter.find(":flags=area") != std::string::npos, layout.SmoothStep()) << filter;
        EXPECT_EQ(filter.find(",pad=" + std::to_string(e.width) + ":" + std::to_string(e.height) +
                              ":" + std::to_string(e.left) + ":0:color=black") != std::string::npos,
                  e.left > 0)
            << filter;
    }
}

TEST(VideoArguments, LosslessStaysRgbWithNoQuantiser) {
    capture::CaptureOptions options;
    options.lossless = true;
    const Args args = capture::VideoEncoder::EncodeArguments(options, "v");
    EXPECT_EQ(ValueOf(args, "-c:v"), "libx264rgb");
    EXPECT_EQ(ValueOf(args, "-qp"), "0");
    EXPECT_EQ(ValueOf(args, "-crf"), "");
    EXPECT_EQ(ValueOf(args, "-pix_fmt", 1), "rgb24");
    const std::string filter = ValueOf(args, "-vf");
    EXPECT_EQ(filter.find("out_color_matrix"), std::string::npos) << filter;
}

TEST(VideoArguments, NativeSizeKeepsTheFourToThreeShapeThroughItsPixelAspect) {
    capture::CaptureOptions options;
    options.videoWidth = 320;
    options.videoHeight = 200;
    const std::string filter = ValueOf(capture::VideoEncoder::EncodeArguments(options, "v"), "-vf");
    EXPECT_NE(filter.find("setsar=5/6"), std::string::npos) << filter;
    EXPECT_EQ(filter.find("neighbor"), std::string::npos) << filter;
}

} // namespace
