// A 16-bit stereo PCM WAV file written as the audio is made, valid at every moment.
//
//   Open     creates the file afresh (output_folder.h: CreateFresh, in `folder`, or relative to
//            the working directory) with a header for zero samples; `shown` names it in messages
//   Append   adds interleaved stereo frames and rewrites the two sizes of the header, so that
//            a capture stopped at any point (Ctrl+C, a crash after this call) leaves a whole file
//   Truncate cuts the file back to its first `frames` frames (header included)
//   RewriteEnd  replaces the last `frames` frames written (no more than were written) with new
//            ones, e.g. to let the sound ramp down where the capture ends
//   Close    closes it; safe to call twice
// Each call returns false with a message after an I/O failure; a failed Append (a full disk)
// leaves the file as it was before the call, header and samples agreeing.
#ifndef ZARVO_PLATFORM_CAPTURE_CAPTURE_WAV_WRITER_H
#define ZARVO_PLATFORM_CAPTURE_CAPTURE_WAV_WRITER_H

#include <cstddef>
#include <cstdint>
#include <string>

namespace capture {

constexpr int kWavHeaderBytes = 44;

class WavWriter {
  public:
    WavWriter() = default;
    ~WavWriter();
    WavWriter(const WavWriter&) = delete;
    WavWriter& operator=(const WavWriter&) = delete;

    bool Open(int folder, const std::string& name, const std::string& shown, int sampleRate,
              std::string& error);
    bool Open(const std::string& path, int sampleRate, std::string& error);
    bool Append(const std::int16_t* interleavedStereo, std::size_t frames, std::string& error);
    bool Truncate(std::int64_t frames, std::string& error);
    bool RewriteEnd(const std::int16_t* interleavedStereo, std::size_t frames, std::string& error);
    void Close();

    std::int64_t FramesWritten() const {
        return frames_;
    }
    // The open file (read and write), e.g. for the video's sound; -1 when closed.
    int Fd() const {
        return fd_;
    }

  private:
    bool WriteHeader(std::string& error);
    bool WriteSamples(const std::int16_t* interleavedStereo, std::size_t frames,
                      std::int64_t firstFrame, std::string& error);

    int fd_ = -1;
    std::string path_;
    int sampleRate_ = 0;
    std::int64_t frames_ = 0;
};

} // namespace capture

#endif
