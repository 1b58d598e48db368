// The video: presented frames piped to the ffmpeg program, then joined with the finished WAV.
//
// Two passes, so that the sound is taken from a complete file:
//   Start    checks that the video can replace what has its name (nothing, or a file of the
//            user's own; a link is replaced, not followed), makes `FILE.video.part` afresh
//            (capture_output_folder.h: CreateFresh), and runs ffmpeg reading raw 320x200 frames
//            (bgr0, i.e. the 0x00RRGGBB words as they lie in memory) from a pipe; it converts them
//            with the BT.709 matrix (tagged so) to Y'CbCr 4:4:4, places and enlarges them as
//            capture_video_layout.h says, and encodes H.264 into that file. With --lossless the
//            frames stay RGB and are encoded losslessly (every pixel exact; players built on ffmpeg
//            open it)
//   AddFrame writes one frame into the pipe
//   Finish   closes the pipe, waits for the encoder, then muxes that stream with the WAV (AAC,
//            from the descriptor `wavFd`) into `FILE.part`, made afresh, in the container asked
//            for, and renames it to FILE
// ffmpeg never sees a name the user gave: it reads and writes the files this program made and
// holds open, as /dev/fd/N, so a name that would read as an option ("-x.mp4") or a protocol
// ("take:1.mp4") is a plain file name, and no link put in place of a part file is followed.
// Every failure, and Abandon, removes the part files: none is left behind.
// Chroma at full resolution: with 4:2:0 a pure red pixel next to a blue one would share its
// colour with the neighbour, and the enlarged pixels' edges would bleed. Encoder settings are
// fixed (two threads, bit-exact flags, no metadata), so the same frames and sound give the same
// bytes. ffmpeg runs in its own process group: Ctrl+C in the terminal reaches only the capture,
// which then finishes the video properly, or, once the give-up flag is set (a second Ctrl+C),
// ends ffmpeg at once and leaves no video.
#ifndef ZARVO_PLATFORM_CAPTURE_CAPTURE_VIDEO_ENCODER_H
#define ZARVO_PLATFORM_CAPTURE_CAPTURE_VIDEO_ENCODER_H

#include "capture_options.h"
#include "capture_video_layout.h"

#include <csignal>

#include <cstdint>
#include <string>
#include <vector>

#include <sys/types.h>

namespace capture {

class VideoEncoder {
  public:
    VideoEncoder() = default;
    ~VideoEncoder();
    VideoEncoder(const VideoEncoder&) = delete;
    VideoEncoder& operator=(const VideoEncoder&) = delete;

    bool Start(const CaptureOptions& options, std::string& error);
    bool AddFrame(const std::uint32_t* pixels, std::string& error);
    bool Finish(int wavFd, std::string& error);
    // Ends the encoder at once without making the video (after a failure elsewhere).
    void Abandon();
    // While *flag is nonzero, waits for ffmpeg and writes to it give up (set from a signal).
    void SetGiveUpFlag(const volatile std::sig_atomic_t* flag) {
        giveUp_ = flag;
    }

    bool Running() const {
        return pid_ > 0;
    }

    // The encoding pass's arguments; public for the tests.
    static std::vector<std::string> EncodeArguments(const CaptureOptions& options,
                                                    const std::string& videoPart);
    // The filter graph: colour conversion, enlargement, smoothing and bars.
    static std::string Filters(const CaptureOptions& options);

  private:
    // The second pass: the video copied, the WAV encoded as AAC, into the container.
    static std::vector<std::string> MuxArguments(const std::string& videoPart,
                                                 const std::string& wavPath,
                                                 const std::string& outputPart,
                                                 Container container);
    // The name by which ffmpeg opens the file this program holds open as `fd`.
    static std::string FileOf(int fd);
    void RemoveParts();
    bool GivingUp() const {
        return giveUp_ != nullptr && *giveUp_ != 0;
    }
    bool Wait(pid_t pid, std::string& how);

    const volatile std::sig_atomic_t* giveUp_ = nullptr;
    Container container_ = Container::mp4;
    std::string videoFile_;
    std::string videoPart_;
    std::string outputPart_;
    int videoPartFd_ = -1;
    int outputPartFd_ = -1;
    pid_t pid_ = -1;
    int pipe_ = -1;
    std::int64_t frames_ = 0;
};

// True when the ffmpeg program can be started (ffmpeg -version succeeds).
bool FfmpegAvailable();

} // namespace capture

#endif
