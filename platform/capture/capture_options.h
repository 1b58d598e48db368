// The command line of zarvo-capture: what to write, where, at which frame and sample rate.
//
//   ParseCaptureOptions  reads argv; on success fills the options, on failure gives a message
//                        naming the bad argument (the caller prints it with the usage)
//   CaptureUsage         the --help text
//   FrameEndSample       the audio sample at which frame n ends: floor((n+1) * rate / fps),
//                        exact in integers, so the picture never drifts from the sound
//   FrameLimit           the number of frames --max-seconds allows (0: no limit)
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

struct CaptureOptions {
    std::string outDir = "capture";
    std::string videoFile; // empty: no video
    int videoWidth = 1600;
    int videoHeight = 1200;
    FrameRate fps;
    int sampleRate = 48000;
    double maxSeconds = 0.0; // 0: until the show ends by itself
    bool writeFrames = true; // frames/NNNNNN.png
    bool progress = true;    // the progress line on standard error
    std::string moduleFile; // empty: the intro's own module
    bool help = false;
};

enum class ParseResult { ok, error };

ParseResult ParseCaptureOptions(int argc, char** argv, CaptureOptions& options,
                                std::string& message);

std::string CaptureUsage(const char* programName);

std::int64_t FrameEndSample(std::int64_t frame, const FrameRate& fps, int sampleRate);

std::int64_t FrameLimit(const CaptureOptions& options);

// The frame rate as ffmpeg writes it ("60/1", "30000/1001").
std::string FrameRateText(const FrameRate& fps);

} // namespace capture

#endif
