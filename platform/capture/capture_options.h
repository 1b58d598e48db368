// The command line of zarvo-capture: what to write, where, at which frame and sample rate.
//
//   ParseCaptureOptions  reads argv; on success fills the options, on failure gives a message
//                        naming the bad argument (the caller prints it with the usage). The
//                        video's settings (--size, --crf, --preset, --lossless) without --video
//                        are such an error: nothing would use them.
//   CaptureUsage         the --help text
//   FrameEndSample       the audio sample at which frame n ends: floor((n+1) * rate / fps),
//                        exact in integers, so the picture never drifts from the sound
//   FrameLimit           the number of frames --max-seconds allows (0: no limit)
//   FirstFrame           the first frame written: the first that starts at or after --start
#ifndef ZARVO_PLATFORM_CAPTURE_CAPTURE_OPTIONS_H
#define ZARVO_PLATFORM_CAPTURE_CAPTURE_OPTIONS_H

#include <cstdint>
#include <string>

namespace capture {

// A frame rate as a fraction, e.g. 60/1 or 30000/1001.
struct FrameRate {
    std::int64_t numerator = 60;
    std::int64_t denominator = 1;
};

// The video's container, named by the file's extension.
enum class Container { mp4, mkv, mov };

// The H.264 settings chosen for an upload: constant quality 16 with chroma at full resolution
// keeps the enlarged pixels crisp and colour edges clean (about 52 dB against the frames, see
// capture_video_encoder.h), and the fastest preset keeps a 1920x1080 capture well ahead of real
// time on two cores; the price is size (about 10 Mbit/s, what upload sites ask for), and a slower
// preset makes the same picture in a quarter of that.
constexpr int kDefaultCrf = 16;
constexpr const char* kDefaultPreset = "ultrafast";

struct CaptureOptions {
    std::string outDir = "capture";
    std::string videoFile; // empty: no video
    Container container = Container::mp4;
    int videoWidth = 1600;
    int videoHeight = 1200;
    int crf = kDefaultCrf;
    std::string preset = kDefaultPreset;
    bool lossless = false; // exact pixels (RGB H.264, lossless)
    FrameRate fps;
    int sampleRate = 48000;
    double startSeconds = 0.0; // the files begin at this show time
    double maxSeconds = 0.0;   // 0: until the show ends by itself; else the files' length
    bool writeFrames = true;   // frames/NNNNNN.png
    bool progress = true;      // the progress line on standard error
    std::string moduleFile;    // empty: the intro's own module
    bool help = false;
    bool version = false;
};

enum class ParseResult { ok, error };

ParseResult ParseCaptureOptions(int argc, char** argv, CaptureOptions& options,
                                std::string& message);

std::string CaptureUsage(const char* programName);

std::int64_t FrameEndSample(std::int64_t frame, const FrameRate& fps, int sampleRate);

std::int64_t FrameLimit(const CaptureOptions& options);

std::int64_t FirstFrame(const CaptureOptions& options);

// The container ffmpeg is told to write ("mp4", "matroska", "mov").
const char* ContainerFormat(Container container);

// The frame rate as ffmpeg writes it ("60/1", "30000/1001").
std::string FrameRateText(const FrameRate& fps);

} // namespace capture

#endif
