// The files of one capture: the output folder, frames/NNNNNN.png, frames.csv, audio.wav and the
// video, opened together and finished together.
//
//   Open        makes the folder (and frames/, where frames are written; numbered frames of an
//               earlier capture there are removed so the folder shows this capture only),
//               writes the CSV header, creates the WAV and starts the video encoder
//   AddFrame    one presented frame: its PNG, its CSV row, its video frame
//   AddAudio    the sound heard during that frame
//   RewriteAudioEnd  replaces the last frames of sound added (for the ramp down at the end)
//   Close       completes every file (the video last, from the finished WAV); safe to call twice
// Every call returns false with a message after a failure; files already written stay whole.
#ifndef ZARVO_PLATFORM_CAPTURE_CAPTURE_SESSION_H
#define ZARVO_PLATFORM_CAPTURE_CAPTURE_SESSION_H

#include "capture_options.h"
#include "frame_phase.h"
#include "video_encoder.h"
#include "wav_writer.h"

#include <cstdint>
#include <cstdio>
#include <string>

namespace capture {

class CaptureSession {
  public:
    CaptureSession() = default;
    ~CaptureSession();
    CaptureSession(const CaptureSession&) = delete;
    CaptureSession& operator=(const CaptureSession&) = delete;

    bool Open(const CaptureOptions& options, std::string& error);
    bool AddFrame(std::int64_t index, std::uint32_t syncCount, Phase phase,
                  const std::uint32_t* pixels, std::string& error);
    bool AddAudio(const std::int16_t* interleavedStereo, std::size_t frames, std::string& error);
    bool RewriteAudioEnd(const std::int16_t* interleavedStereo, std::size_t frames,
                         std::string& error);
    bool Close(std::string& error);

    bool IsOpen() const {
        return open_;
    }
    std::string WavPath() const;

  private:
    CaptureOptions options_;
    bool open_ = false;
    std::FILE* csv_ = nullptr;
    WavWriter wav_;
    VideoEncoder video_;
};

// Makes a folder and its missing parents; true when it exists afterwards.
bool MakeFolders(const std::string& path, std::string& error);

} // namespace capture

#endif
