// Command-line parsing of zarvo-capture and the frame/sample arithmetic of the virtual clock.
#include "capture_options.h"

#include "option_split.h"
#include "capture_video_layout.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace capture {

static constexpr std::int64_t kMaxFps = 1000;
static constexpr std::int64_t kMaxRateTerm = 1000000;
static constexpr int kMinSampleRate = 8000;
static constexpr int kMaxSampleRate = 192000;
static constexpr double kMaxSecondsLimit = 24.0 * 3600.0;

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

// "WxH": a size IsVideoSize takes.
static bool ParseVideoSize(const std::string& text, int& width, int& height) {
    const std::size_t cross = text.find('x');
    std::int64_t w = 0;
    std::int64_t h = 0;
    if (cross == std::string::npos || !ParseInteger(text.substr(0, cross), w) ||
        !ParseInteger(text.substr(cross + 1), h) || !IsVideoSize(w, h)) {
        return false;
    }
    width = static_cast<int>(w);
    height = static_cast<int>(h);
    return true;
}

// The container from the file name's extension, in any letter case.
static bool ParseContainer(const std::string& file, Container& container) {
    const std::size_t dot = file.rfind('.');
    if (dot == std::string::npos || file.find('/', dot) != std::string::npos) {
        return false;
    }
    std::string extension = file.substr(dot + 1);
    for (char& c : extension) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    if (extension == "mp4") {
        container = Container::mp4;
    } else if (extension == "mkv") {
        container = Container::mkv;
    } else if (extension == "mov") {
        container = Container::mov;
    } else {
        return false;
    }
    return true;
}

// The encoder's presets, fastest first.
static bool IsPreset(const std::string& name) {
    for (const char* preset : {"ultrafast", "superfast", "veryfast", "faster", "fast", "medium",
                               "slow", "slower", "veryslow", "placebo"}) {
        if (name == preset) {
            return true;
        }
    }
    return false;
}

// Seconds as a decimal number: above zero, or also zero when `zeroAllowed`.
static bool ParseSeconds(const std::string& text, double& seconds, bool zeroAllowed = false) {
    if (text.empty()) {
        return false;
    }
    errno = 0;
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (errno != 0 || end == nullptr || *end != '\0' || !std::isfinite(value) || value < 0.0 ||
        (value == 0.0 && !zeroAllowed) || value > kMaxSecondsLimit) {
        return false;
    }
    seconds = value;
    return true;
}

ParseResult ParseCaptureOptions(int argc, char** argv, CaptureOptions& options,
                                std::string& message) {
    bool crfGiven = false;
    // The first option given that only the video uses, for the message when there is none.
    std::string videoOnly;
    std::string arg;
    std::string value;
    for (int i = 1; i < argc; ++i) {
        if (!platform::SplitOption(argc, argv, i,
                                   {"--out", "--video", "--size", "--fps", "--rate",
                                    "--max-seconds", "--start", "--crf", "--preset", "--module"},
                                   arg, value, message)) {
            return ParseResult::error;
        }
        if ((arg == "--size" || arg == "--crf" || arg == "--preset" || arg == "--lossless") &&
            videoOnly.empty()) {
            videoOnly = arg;
        }
        if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (arg == "--version") {
            options.version = true;
        } else if (arg == "--no-frames") {
            options.writeFrames = false;
        } else if (arg == "--lossless") {
            options.lossless = true;
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
            if (!ParseContainer(value, options.container)) {
                message = "--video '" + value +
                          "': the file's extension names the container, and it must be .mp4, "
                          ".mkv or .mov";
                return ParseResult::error;
            }
            options.videoFile = value;
        } else if (arg == "--size") {
            if (!ParseVideoSize(value, options.videoWidth, options.videoHeight)) {
                message = "--size '" + value +
                          "' is not 320x200 or a 4:3 or 16:9 size with even sides from 640 to "
                          "7680 wide (e.g. 1600x1200, 1440x1080, 1920x1080, 3840x2160)";
                return ParseResult::error;
            }
        } else if (arg == "--crf") {
            std::int64_t crf = 0;
            if (!ParseInteger(value, crf) || crf > 51) {
                message = "--crf '" + value + "' is not a quality from 0 (best) to 51";
                return ParseResult::error;
            }
            options.crf = static_cast<int>(crf);
            crfGiven = true;
        } else if (arg == "--preset") {
            if (!IsPreset(value)) {
                message = "--preset '" + value +
                          "' is not one of ultrafast, superfast, veryfast, faster, fast, medium, "
                          "slow, slower, veryslow, placebo";
                return ParseResult::error;
            }
            options.preset = value;
        } else if (arg == "--start") {
            if (!ParseSeconds(value, options.startSeconds, true)) {
                message = "--start '" + value + "' is not a number of seconds from 0";
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
    if (options.lossless && crfGiven) {
        message = "--crf and --lossless exclude each other (--lossless keeps every pixel exact)";
        return ParseResult::error;
    }
    // Accepted and ignored, it would leave the user believing a video was set up.
    if (!videoOnly.empty() && options.videoFile.empty() && !options.help && !options.version) {
        message = videoOnly + " is a setting of the video: give --video FILE too";
        return ParseResult::error;
    }
    return ParseResult::ok;
}

std::string CaptureUsage(const char* programName) {
    const std::string name = programName != nullptr ? programName : "zarvo-capture";
    return "Usage: " + name +
           " [options]\n"
           "Plays the intro offline, as fast as the machine allows, and writes what it shows\n"
           "and plays. Reads Zarvo.xm from the working directory, the installed data folder or\n"
           "beside the program (or --module FILE). The show ends by itself; without\n"
           "--max-seconds a capture never runs longer than the module's song played once\n"
           "through, so its files never outgrow that length (a song over at once ends it at\n"
           "once, with exit code 4).\n"
           "\n"
           "  --out DIR          output folder (default: capture); it receives\n"
           "                     frames/NNNNNN.png, audio.wav and frames.csv. It must be a\n"
           "                     folder of your own, not a link; earlier captures' files there\n"
           "                     are replaced\n"
           "  --video FILE       also write a video through ffmpeg; the extension names the\n"
           "                     container: .mp4, .mkv or .mov (H.264 and AAC in each)\n"
           "  --size WxH         video size: 1600x1200 (default), 1920x1080, 2560x1440,\n"
           "                     3840x2160, 1440x1080, 960x720, 320x200 (native), or another\n"
           "                     4:3 or 16:9 size with even sides; 16:9 has black bars\n"
           "  --crf N            video quality, 0 (best) to 51 (default 16)\n"
           "  --preset NAME      encoder speed: ultrafast (default), superfast, veryfast,\n"
           "                     faster, fast, medium, slow, slower, veryslow, placebo\n"
           "                     (slower presets make smaller files)\n"
           "  --lossless         every pixel exact (H.264 in RGB, lossless; large files)\n"
           "                     (--size, --crf, --preset and --lossless need --video)\n"
           "  --fps N[/D]        frames per second (default 60)\n"
           "  --rate N           audio sample rate in Hz (default 48000)\n"
           "  --start S          the files begin S seconds into the show\n"
           "  --max-seconds S    the files end after S seconds (from --start)\n"
           "  --no-frames        write no PNG frames (e.g. for a video only)\n"
           "  --quiet            no progress and no summary on standard error\n"
           "  --module FILE      play FILE in place of the intro's own module Zarvo.xm\n"
           "  --version          the program's version\n"
           "  --help             this text\n"
           "\n"
           "Ctrl+C stops early with every file complete; a second Ctrl+C also gives up the\n"
           "video, at once.\n"
           "\n"
           "Exit codes:\n"
           "  0    the show ended by itself, or --max-seconds was reached (also after --help\n"
           "       and --version)\n"
           "  1    a file could not be written, the video could not be made, or the output\n"
           "       folder was refused (a link, or another user's)\n"
           "  2    the command line is wrong; also when --start lies past the show's end\n"
           "       (found when the show ends there: nothing was captured)\n"
           "  3    the intro stopped with an error (e.g. Zarvo.xm missing or corrupt)\n"
           "  4    the show did not end: the song played through once without reaching the\n"
           "       show's end (give --max-seconds to capture such a show)\n"
           "  130  stopped by Ctrl+C (or a termination signal)\n";
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

std::int64_t FirstFrame(const CaptureOptions& options) {
    const double frames = options.startSeconds * static_cast<double>(options.fps.numerator) /
                          static_cast<double>(options.fps.denominator);
    // The same slack as above: --start 2 at 30000/1001 begins with frame 60 (2.002 s).
    return static_cast<std::int64_t>(std::ceil(frames - 1e-9));
}

const char* ContainerFormat(Container container) {
    switch (container) {
    case Container::mkv:
        return "matroska";
    case Container::mov:
        return "mov";
    case Container::mp4:
        break;
    }
    return "mp4";
}

std::string FrameRateText(const FrameRate& fps) {
    return std::to_string(fps.numerator) + "/" + std::to_string(fps.denominator);
}

} // namespace capture
