// The files of one capture: the output folder, frames/NNNNNN.png, frames.csv, audio.wav and the
// video, opened together and finished together.
//
//   Open        takes the folder (output_folder.h: made, or refused when it is a link or another
//               user's; so is its frames/), starts the video (its checks come first), removes the
//               numbered frames of an earlier capture so the folder shows this capture only,
//               makes the CSV with its header and the WAV afresh, never through a link, and
//               starts the PNG workers. When it fails, no CSV or WAV is left in the folder.
//   AddFrame    one presented frame and the sound heard while it is shown: its PNG (queued for
//               the workers), its samples, its CSV row and its video frame
//   Close       waits for the PNG workers and completes every file (the video last, from the
//               finished WAV); safe to call twice
// Every call returns false with a message after a failure. The files always agree with one
// another: a frame whose picture, sound or row cannot be written (a full disk) is taken back
// from all of them, as is every frame after it, so the CSV has one row per frame file and the
// WAV the sound of exactly those frames. After a failure nothing more is added and the video is
// not made (its partial files are removed).
//   RewriteAudioEnd  replaces the last frames of sound added (for the ramp down at the end)
#ifndef ZARVO_PLATFORM_CAPTURE_CAPTURE_SESSION_H
#define ZARVO_PLATFORM_CAPTURE_CAPTURE_SESSION_H

#include "capture_options.h"
#include "capture_output_folder.h"
#include "capture_png_frame_pool.h"
#include "show_observation.h"
#include "capture_video_encoder.h"
#include "capture_wav_writer.h"

#include <csignal>
#include <cstdint>
#include <string>
#include <vector>

namespace capture {

using platform::Phase;
using platform::PhaseName;

class CaptureSession {
  public:
    CaptureSession() = default;
    ~CaptureSession();
    CaptureSession(const CaptureSession&) = delete;
    CaptureSession& operator=(const CaptureSession&) = delete;

    bool Open(const CaptureOptions& options, std::string& error);
    bool AddFrame(std::uint32_t syncCount, Phase phase, const std::uint32_t* pixels,
                  const std::int16_t* interleavedStereo, std::size_t sampleFrames,
                  std::string& error);
    bool RewriteAudioEnd(const std::int16_t* interleavedStereo, std::size_t frames,
                         std::string& error);
    bool Close(std::string& error);

    // Frames in the files (after any taking back).
    std::int64_t FramesWritten() const {
        return frames_;
    }
    bool VideoMade() const {
        return videoMade_;
    }
    std::string WavPath() const;
    std::string CsvPath() const;
    // A second Ctrl+C: the video is given up at once (see capture_video_encoder.h).
    void SetGiveUpFlag(const volatile std::sig_atomic_t* flag) {
        video_.SetGiveUpFlag(flag);
    }
    // PNG workers; 0 (the default) picks a number for the machine.
    void SetPngThreads(int threads) {
        pngThreads_ = threads;
    }

  private:
    bool Fail(std::int64_t keep, const std::string& why, std::string& error);
    void TakeBack(std::int64_t keep);

    CaptureOptions options_;
    bool open_ = false;
    bool failed_ = false;
    bool videoMade_ = false;
    std::string failure_; // the first failure's message
    int pngThreads_ = 0;
    int csv_ = -1;
    std::int64_t csvHeaderBytes_ = 0;
    std::int64_t frames_ = 0;
    std::vector<std::int64_t> csvEnds_; // the CSV's length after each frame's row
    std::vector<std::int64_t> wavEnds_; // the WAV's sample frames after each frame
    OutputFolder folder_;
    WavWriter wav_;
    PngFramePool pngs_;
    VideoEncoder video_;
};

} // namespace capture

#endif
