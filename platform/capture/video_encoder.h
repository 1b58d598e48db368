// The video: presented frames piped to the ffmpeg program, then joined with the finished WAV.
//
// Two passes, so that the sound is taken from a complete file:
//   Start    runs ffmpeg reading raw 320x200 frames (bgr0, i.e. the 0x00RRGGBB words as they lie
//            in memory) from a pipe; it converts them with the BT.709 matrix (tagged so),
//            scales them with nearest neighbour, and encodes H.264 yuv420p into `FILE.video.part`
//   AddFrame writes one frame into the pipe
//   Finish   closes the pipe, waits for the encoder, then muxes that stream with the WAV (AAC)
//            into `FILE.part` and renames it to FILE; the temporary files are removed
// Encoder settings are fixed (one thread, bit-exact flags, no metadata), so the same frames and
// sound give the same bytes. ffmpeg runs in its own process group: Ctrl+C in the terminal
// reaches only the capture, which then finishes the video properly.
#ifndef ZARVO_PLATFORM_CAPTURE_VIDEO_ENCODER_H
#define ZARVO_PLATFORM_CAPTURE_VIDEO_ENCODER_H

#include "capture_options.h"

#include <cstdint>
#include <string>
#include <vector>

#include <sys/types.h>

namespace capture {

constexpr int kFrameWidth = 320;
constexpr int kFrameHeight = 200;

class VideoEncoder {
  public:
    VideoEncoder() = default;
    ~VideoEncoder();
    VideoEncoder(const VideoEncoder&) = delete;
    VideoEncoder& operator=(const VideoEncoder&) = delete;

    bool Start(const CaptureOptions& options, std::string& error);
    bool AddFrame(const std::uint32_t* pixels, std::string& error);
    bool Finish(const std::string& wavPath, std::string& error);
    // Ends the encoder without making the video (after a failure elsewhere).
    void Abandon();

    bool Running() const {
        return pid_ > 0;
    }

    // The arguments of both passes; public for the tests.
    static std::vector<std::string> EncodeArguments(const CaptureOptions& options,
                                                    const std::string& videoPart);
    static std::vector<std::string> MuxArguments(const std::string& videoPart,
                                                 const std::string& wavPath,
                                                 const std::string& outputPart);

  private:
    std::string videoFile_;
    std::string videoPart_;
    pid_t pid_ = -1;
    int pipe_ = -1;
    std::int64_t frames_ = 0;
};

// True when the ffmpeg program can be started (ffmpeg -version succeeds).
bool FfmpegAvailable();

} // namespace capture

#endif
