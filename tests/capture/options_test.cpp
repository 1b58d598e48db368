// The capture's command line and the frame/sample arithmetic of its clock.
#include "capture_options.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

using capture::CaptureOptions;
using capture::ParseResult;

struct Parsed {
    ParseResult result;
    CaptureOptions options;
    std::string message;
};

Parsed Parse(std::vector<std::string> args) {
    args.insert(args.begin(), "zarvo-capture");
    std::vector<char*> argv;
    for (std::string& arg : args) {
        argv.push_back(arg.data());
    }
    Parsed parsed;
    parsed.result = capture::ParseCaptureOptions(static_cast<int>(argv.size()), argv.data(),
                                                 parsed.options, parsed.message);
    return parsed;
}

TEST(CaptureOptions, DefaultsAreTheDocumentedOnes) {
    const Parsed parsed = Parse({});
    ASSERT_EQ(parsed.result, ParseResult::ok);
    EXPECT_EQ(parsed.options.outDir, "capture");
    EXPECT_EQ(parsed.options.fps.numerator, 60);
    EXPECT_EQ(parsed.options.fps.denominator, 1);
    EXPECT_EQ(parsed.options.sampleRate, 48000);
    EXPECT_EQ(parsed.options.videoWidth, 1600);
    EXPECT_EQ(parsed.options.videoHeight, 1200);
    EXPECT_TRUE(parsed.options.videoFile.empty());
    EXPECT_TRUE(parsed.options.writeFrames);
    EXPECT_EQ(capture::FrameLimit(parsed.options), 0);
}

TEST(CaptureOptions, ValuesComeSeparateOrAfterAnEqualsSign) {
    const Parsed parsed =
        Parse({"--out=shots", "--video", "show.mp4", "--fps=30000/1001", "--rate", "44100",
               "--size", "960x720", "--max-seconds=2.5", "--no-frames", "--module", "other.xm"});
    ASSERT_EQ(parsed.result, ParseResult::ok) << parsed.message;
    EXPECT_EQ(parsed.options.outDir, "shots");
    EXPECT_EQ(parsed.options.videoFile, "show.mp4");
    EXPECT_EQ(parsed.options.fps.numerator, 30000);
    EXPECT_EQ(parsed.options.fps.denominator, 1001);
    EXPECT_EQ(parsed.options.sampleRate, 44100);
    EXPECT_EQ(parsed.options.videoWidth, 960);
    EXPECT_EQ(parsed.options.videoHeight, 720);
    EXPECT_DOUBLE_EQ(parsed.options.maxSeconds, 2.5);
    EXPECT_FALSE(parsed.options.writeFrames);
    EXPECT_EQ(parsed.options.moduleFile, "other.xm");
}

TEST(CaptureOptions, SizesAreNativeFourToThreeOrSixteenToNineWithEvenSides) {
    for (const char* good : {"1600x1200", "1440x1080", "960x720", "320x200", "640x480", "1920x1080",
                             "2560x1440", "3840x2160", "1280x720", "7680x4320"}) {
        EXPECT_EQ(Parse({"--video", "v.mp4", "--size", good}).result, ParseResult::ok) << good;
    }
    for (const char* bad : {"1920x1200", "321x240", "1602x1201", "0x0", "x", "1600", "1600x",
                            "-1600x1200", "16000x12000", "480x360", "1922x1081", "15360x8640"}) {
        EXPECT_EQ(Parse({"--video", "v.mp4", "--size", bad}).result, ParseResult::error) << bad;
    }
}

TEST(CaptureOptions, TheVideoFilesExtensionNamesItsContainer) {
    const std::vector<std::pair<const char*, capture::Container>> known = {
        {"show.mp4", capture::Container::mp4},
        {"out/Show.MKV", capture::Container::mkv},
        {"a.b/show.mov", capture::Container::mov}};
    for (const auto& [file, container] : known) {
        const Parsed parsed = Parse({"--video", file});
        ASSERT_EQ(parsed.result, ParseResult::ok) << file << ": " << parsed.message;
        EXPECT_EQ(parsed.options.container, container) << file;
    }
    for (const char* file : {"e.avi", "show", "show.mp4.part", "dir.mp4/show", ".webm"}) {
        const Parsed parsed = Parse({"--video", file});
        EXPECT_EQ(parsed.result, ParseResult::error) << file;
        EXPECT_NE(parsed.message.find(".mkv"), std::string::npos) << parsed.message;
    }
    EXPECT_STREQ(capture::ContainerFormat(capture::Container::mkv), "matroska");
}

TEST(CaptureOptions, QualityStartAndTheirLimits) {
    const Parsed parsed =
        Parse({"--crf", "0", "--preset", "slow", "--start=12.5", "--video", "v.mkv"});
    ASSERT_EQ(parsed.result, ParseResult::ok) << parsed.message;
    EXPECT_EQ(parsed.options.crf, 0);
    EXPECT_EQ(parsed.options.preset, "slow");
    EXPECT_FALSE(parsed.options.lossless);
    EXPECT_DOUBLE_EQ(parsed.options.startSeconds, 12.5);
    EXPECT_TRUE(
        Parse({"--lossless", "--preset", "ultrafast", "--video", "v.mp4"}).options.lossless);
    for (const auto& args : std::vector<std::vector<std::string>>{{"--crf", "52"},
                                                                  {"--crf", "-1"},
                                                                  {"--crf", "high"},
                                                                  {"--preset", "quick"},
                                                                  {"--start", "-1"},
                                                                  {"--lossless", "--crf", "10"}}) {
        std::vector<std::string> withVideo = args;
        withVideo.insert(withVideo.begin(), {"--video", "v.mp4"});
        EXPECT_EQ(Parse(withVideo).result, ParseResult::error) << args.back();
    }
    // Defaults: an upload's quality.
    EXPECT_EQ(Parse({}).options.crf, capture::kDefaultCrf);
    EXPECT_EQ(Parse({}).options.preset, capture::kDefaultPreset);
}

// The video's settings without a video would be accepted and ignored: each is refused, by name,
// and every preset the help lists is taken.
TEST(CaptureOptions, TheVideosSettingsNeedAVideo) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"--size", "1920x1080"}, "--size"},
        {{"--crf", "20"}, "--crf"},
        {{"--preset", "placebo"}, "--preset"},
        {{"--no-frames", "--lossless"}, "--lossless"},
        {{"--out", "o", "--preset=fast", "--size", "960x720"}, "--preset"}};
    for (const auto& [args, name] : cases) {
        const Parsed parsed = Parse(args);
        EXPECT_EQ(parsed.result, ParseResult::error) << name;
        EXPECT_EQ(parsed.message.rfind(name, 0), 0u) << parsed.message;
        EXPECT_NE(parsed.message.find("--video"), std::string::npos) << parsed.message;
        EXPECT_EQ(parsed.message.find('\n'), std::string::npos) << "one line: " << parsed.message;
    }
    const std::string usage = capture::CaptureUsage("zarvo-capture");
    const std::size_t listed = usage.find("--preset NAME");
    ASSERT_NE(listed, std::string::npos);
    for (const char* preset : {"ultrafast", "superfast", "veryfast", "faster", "fast", "medium",
                               "slow", "slower", "veryslow", "placebo"}) {
        EXPECT_NE(usage.find(preset, listed), std::string::npos) << preset;
        const Parsed parsed = Parse({"--preset", preset, "--video", "v.mp4"});
        EXPECT_EQ(parsed.result, ParseResult::ok) << preset << ": " << parsed.message;
    }
}

TEST(CaptureOptions, BadValuesAreRefusedWithTheirName) {
    for (const auto& args : std::vector<std::vector<std::string>>{{"--fps", "0"},
                                                                  {"--fps", "1001"},
                                                                  {"--fps", "60/0"},
                                                                  {"--fps", "1/2"},
                                                                  {"--fps", "sixty"},
                                                                  {"--rate", "100"},
                                                                  {"--rate", "48000.5"},
                                                                  {"--max-seconds", "0"},
                                                                  {"--max-seconds", "-3"},
                                                                  {"--max-seconds", "nan"},
                                                                  {"--max-seconds", "inf"},
                                                                  {"--out", ""},
                                                                  {"--module="},
                                                                  {"--video"},
                                                                  {"--no-frames=yes"},
                                                                  {"--frobnicate"}}) {
        const Parsed parsed = Parse(args);
        EXPECT_EQ(parsed.result, ParseResult::error) << args[0];
        EXPECT_NE(parsed.message.find(args[0].substr(0, args[0].find('='))), std::string::npos)
            << parsed.message;
    }
}

TEST(CaptureOptions, HelpListsEveryOption) {
    ASSERT_TRUE(Parse({"--help"}).options.help);
    ASSERT_TRUE(Parse({"--version"}).options.version);
    const std::string usage = capture::CaptureUsage("zarvo-capture");
    for (const char* option :
         {"--out", "--video", "--size", "--fps", "--rate", "--max-seconds", "--no-frames",
          "--quiet", "--help", "--crf", "--preset", "--lossless", "--start", ".mkv", "1920x1080",
          "--module", "--version"}) {
        EXPECT_NE(usage.find(option), std::string::npos) << option;
    }
    // Each exit code is explained on a line of its own.
    for (const char* code : {"\n  0 ", "\n  1 ", "\n  2 ", "\n  3 ", "\n  4 ", "\n  130 "}) {
        EXPECT_NE(usage.find(code), std::string::npos) << code;
    }
}

TEST(FrameClock, FrameNEndsAtTheFloorOfItsExactSampleTime) {
    const capture::FrameRate sixty{60, 1};
    EXPECT_EQ(capture::FrameEndSample(0, sixty, 48000), 800);
    EXPECT_EQ(capture::FrameEndSample(59, sixty, 48000), 48000);
    const capture::FrameRate seven{7, 1};
    EXPECT_EQ(capture::FrameEndSample(0, seven, 44100), 6300);
    EXPECT_EQ(capture::FrameEndSample(2, capture::FrameRate{7, 1}, 48000), 20571); // 20571.43
    const capture::FrameRate ntsc{30000, 1001};
    EXPECT_EQ(capture::FrameEndSample(0, ntsc, 48000), 1601); // 1601.6
}

TEST(FrameClock, NoDriftOverLongCapturesAtAnNtscRate) {
    const capture::FrameRate ntsc{30000, 1001};
    // 30000 frames of 1001/30000 s are exactly 1001 s of 48 kHz sound, to the sample.
    EXPECT_EQ(capture::FrameEndSample(30000 - 1, ntsc, 48000), 1001 * 48000);
    // And each frame gets 1601 or 1602 samples, never more or less.
    std::int64_t before = 0;
    for (std::int64_t n = 0; n < 5000; ++n) {
        const std::int64_t end = capture::FrameEndSample(n, ntsc, 48000);
        ASSERT_TRUE(end - before == 1601 || end - before == 1602) << n;
        before = end;
    }
}

TEST(FrameClock, TheSecondsLimitBecomesWholeFrames) {
    CaptureOptions options;
    options.maxSeconds = 2.0;
    options.fps = {30000, 1001};
    EXPECT_EQ(capture::FrameLimit(options), 59); // 59.94
    options.fps = {60, 1};
    options.maxSeconds = 1.0;
    EXPECT_EQ(capture::FrameLimit(options), 60);
    options.maxSeconds = 0.001;
    EXPECT_EQ(capture::FrameLimit(options), 1); // a limit always lets one frame through
    EXPECT_EQ(capture::FrameRateText(capture::FrameRate{30000, 1001}), "30000/1001");
}

TEST(FrameClock, TheFilesBeginWithTheFirstFrameThatStartsAtOrAfterTheStart) {
    CaptureOptions options;
    EXPECT_EQ(capture::FirstFrame(options), 0);
    options.startSeconds = 1.0;
    EXPECT_EQ(capture::FirstFrame(options), 60);
    options.startSeconds = 1.01; // 60.6 frames: frame 61 is the first to start after it
    EXPECT_EQ(capture::FirstFrame(options), 61);
    options.fps = {30000, 1001};
    options.startSeconds = 2.0;
    EXPECT_EQ(capture::FirstFrame(options), 60); // 59.94: frame 60 starts at 2.002 s
}

} // namespace
