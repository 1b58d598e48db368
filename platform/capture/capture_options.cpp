// Command-line parsing of zarvo-capture and the frame/sample arithmetic of the virtual clock.
#include "capture_options.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace capture {

static constexpr std::int64_t kMaxFps = 1000;
static constexpr std::int64_t kMaxRateTerm = 1000000;
static constexpr int kMinSampleRate = 8000;
static constexpr int kMaxSampleRate = 192000;
static constexpr double kMaxSecondsLimit = 24.0 * 3600.0;
static constexpr int kMaxVideoSide = 7680;

// Whole decimal number, nothing else around it.
static bool ParseInteger(const std::string& text, std::int64_t& value) {
    if (text.empty() || text.size() > 12) {
        return false;
    }
    for (char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    value = std::strtoll(text.c_str(), nullptr, 10);
    return true;
}

static bool ParseFrameRate(const std::string& text, FrameRate& fps) {
    const std::size_t slash = text.find('/');
    std::int64_t numerator = 0;
    std::int64_t denominator = 1;
    if (slash == std::string::npos) {
        if (!ParseInteger(text, numerator)) {
            return false;
        }
    } else if (!ParseInteger(text.substr(0, slash), numerator) ||
               !ParseInteger(text.substr(slash + 1), denominator)) {
        return false;
    }
    if (numerator <= 0 || denominator <= 0 || numerator > kMaxRateTerm ||
        denominator > kMaxRateTerm) {
        return false;
    }
    // At least one frame a second and at most kMaxFps.
    if (numerator < denominator || numerator > kMaxFps * denominator) {
        return false;
    }
    fps.numerator = numerator;
    fps.denominator = denominator;
    return true;
}

// "WxH": the native 320x200, or a 4:3 size with even sides (what H.264 with 4:2:0 needs).
static bool ParseVideoSize(const std::string& text, int& width, int& height) {
    const std::size_t cross = text.find('x');
    std::int64_t w = 0;
    std::int64_t h = 0;
    if (cross == std::string::npos || !ParseInteger(text.substr(0, cross), w) ||
        !ParseInteger(text.substr(cross + 1), h)) {
        return false;
    }
    const bool native = w == 320 && h == 200;
    const bool fourThree =
        w * 3 == h * 4 && w % 2 == 0 && h % 2 == 0 && w >= 320 && w <= kMaxVideoSide;
    if (!native && !fourThree) {
        return false;
    }
    width = static_cast<int>(w);
    height = static_cast<int>(h);
    return true;
}

static bool ParseSeconds(const std::string& text, double& seconds) {
    if (text.empty()) {
        return false;
    }
    errno = 0;
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (errno != 0 || end == nullptr || *end != '\0' || !std::isfinite(value) || value <= 0.0 ||
        value > kMaxSecondsLimit) {
        return false;
    }
    seconds = value;
    return true;
}

ParseResult ParseCaptureOptions(int argc, char** argv, CaptureOptions& options,
                                std::string& message) {
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        std::string value;
        bool hasValue = false;
        const std::size_t equals = arg.find('=');
        if (arg.rfind("--", 0) == 0 && equals != std::string::npos) {
            value = arg.substr(equals + 1);
            arg = arg.substr(0, equals);
            hasValue = true;
        }
        const bool takesValue = arg == "--out" || arg == "--video" || arg == "--size" ||
                                arg == "--fps" || arg == "--rate" || arg == "--max-seconds" ||
                                arg == "--module";
        if (takesValue && !hasValue) {
            if (i + 1 >= argc) {
                message = "option " + arg + " needs a value";
                return ParseResult::error;
            }
            value = argv[++i];
        } else if (!takesValue && hasValue) {
            message = "option " + arg + " takes no value";
            return ParseResult::error;
        }

        if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (arg == "--no-frames") {
            options.writeFrames = false;
        } else if (arg == "--quiet") {
            options.progress = false;
        } else if (arg == "--out") {
            if (value.empty()) {
                message = "--out needs a folder name";
                return ParseResult::error;
            }
            options.outDir = value;
        } else if (arg == "--module") {
            if (value.empty()) {
                message = "--module needs a file name";
                return ParseResult::error;
            }
            options.moduleFile = value;
        } else if (arg == "--video") {
            if (value.empty()) {
                message = "--video needs a file name";
                return ParseResult::error;
            }
            options.videoFile = value;
        } else if (arg == "--size") {
            if (!ParseVideoSize(value, options.videoWidth, options.videoHeight)) {
                message = "--size '" + value +
                          "' is not 320x200 or a 4:3 size with even sides (e.g. 1600x1200, "
                          "1440x1080, 960x720)";
                return ParseResult::error;
            }
        } else if (arg == "--fps") {
            if (!ParseFrameRate(value, options.fps)) {
                message = "--fps '" + value + "' is not a frame rate from 1 to 1000 (N or N/D)";
                return ParseResult::error;
            }
        } else if (arg == "--rate") {
            std::int64_t rate = 0;
            if (!ParseInteger(value, rate) || rate < kMinSampleRate || rate > kMaxSampleRate) {
                message = "--rate '" + value + "' is not a sample rate from 8000 to 192000";
                return ParseResult::error;
            }
            options.sampleRate = static_cast<int>(rate);
        } else if (arg == "--max-seconds") {
            if (!ParseSeconds(value, options.maxSeconds)) {
                message = "--max-seconds '" + value + "' is not a positive number of seconds";
                return ParseResult::error;
            }
        } else {
            message = "unknown argument '" + arg + "'";
            return ParseResult::error;
        }
    }
    return ParseResult::ok;
}

std::string CaptureUsage(const char* programName) {
    const std::string name = programName != nullptr ? programName : "zarvo-capture";
    return "Usage: " + name +
           " [options]\n"
           "Plays the intro offline, as fast as the machine allows, and writes what it shows\n"
           "and plays. Reads Zarvo.xm from the working directory, the installed data folder or\n"
           "beside the program (or --module FILE). The show ends by itself.\n"
           "\n"
           "  --out DIR          output folder (default: capture); it receives\n"
           "                     frames/NNNNNN.png, audio.wav and frames.csv\n"
           "  --video FILE.mp4   also write a video (H.264 and AAC) through ffmpeg\n"
           "  --size WxH         video size: 1600x1200 (default), 1440x1080, 960x720,\n"
           "                     320x200 (native) or another 4:3 size with even sides\n"
           "  --fps N[/D]        frames per second (default 60)\n"
           "  --rate N           audio sample rate in Hz (default 48000)\n"
           "  --max-seconds S    stop after S seconds of show (a show that would not end)\n"
           "  --no-frames        write no PNG frames (e.g. for a video only)\n"
           "  --quiet            no progress line on standard error\n"
           "  --module FILE      play FILE in place of the intro's own module Zarvo.xm\n"
           "  --help             this text\n"
           "\n"
           "Ctrl+C stops early; every file written so far stays complete.\n";
}

std::int64_t FrameEndSample(std::int64_t frame, const FrameRate& fps, int sampleRate) {
    const __int128 product = static_cast<__int128>(frame + 1) * sampleRate * fps.denominator;
    return static_cast<std::int64_t>(product / fps.numerator);
}

std::int64_t FrameLimit(const CaptureOptions& options) {
    if (options.maxSeconds <= 0.0) {
        return 0;
    }
    const double frames = options.maxSeconds * static_cast<double>(options.fps.numerator) /
                          static_cast<double>(options.fps.denominator);
    // A little slack, so that 2 s at 30000/1001 is not cut one frame short by rounding.
    const auto limit = static_cast<std::int64_t>(std::floor(frames + 1e-9));
    return limit > 0 ? limit : 1;
}

std::string FrameRateText(const FrameRate& fps) {
    return std::to_string(fps.numerator) + "/" + std::to_string(fps.denominator);
}

} // namespace capture
