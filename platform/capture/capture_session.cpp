// The capture's files: folder set-up, one frame's outputs, and the final completion.
#include "capture_session.h"

#include "capture_png_writer.h"
#include "capture_write_all.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace capture {

CaptureSession::~CaptureSession() {
    std::string ignored;
    Close(ignored);
}

static constexpr const char* kCsvName = "frames.csv";
static constexpr const char* kWavName = "audio.wav";

std::string CaptureSession::WavPath() const {
    return folder_.Path() + "/" + kWavName;
}

std::string CaptureSession::CsvPath() const {
    return folder_.Path() + "/" + kCsvName;
}

bool CaptureSession::Open(const CaptureOptions& options, std::string& error) {
    options_ = options;
    failed_ = false;
    failure_.clear();
    videoMade_ = false;
    frames_ = 0;
    csvEnds_.clear();
    wavEnds_.clear();
    if (!folder_.Open(options.outDir, options.writeFrames, error)) {
        return false;
    }
    // The video's checks come before anything in the folder is touched; ffmpeg would only find
    // out at its first frame that the video cannot be written.
    if (!options.videoFile.empty() && !video_.Start(options, error)) {
        folder_.Close();
        return false;
    }
    folder_.RemoveOldFrames();
    static constexpr char kHeader[] = "frame,sync_count,phase\n";
    csvHeaderBytes_ = static_cast<std::int64_t>(sizeof(kHeader) - 1);
    csv_ = CreateFresh(folder_.Fd(), kCsvName, CsvPath(), error);
    if (csv_ >= 0 && !WriteAll(csv_, kHeader, sizeof(kHeader) - 1, 0)) {
        error = "cannot write '" + CsvPath() + "': " + std::strerror(errno);
    } else if (csv_ >= 0 &&
               wav_.Open(folder_.Fd(), kWavName, WavPath(), options.sampleRate, error)) {
        if (options.writeFrames) {
            pngs_.Start(folder_.FramesFd(), folder_.FramesPath(),
                        pngThreads_ > 0 ? pngThreads_ : PngThreadsForMachine());
        }
        open_ = true;
        return true;
    }
    // A file without its header is no capture (a disk full from the first write): none is left.
    if (csv_ >= 0) {
        close(csv_);
        csv_ = -1;
    }
    wav_.Close();
    unlinkat(folder_.Fd(), kCsvName, 0);
    unlinkat(folder_.Fd(), kWavName, 0);
    video_.Abandon();
    folder_.Close();
    return false;
}

// Takes frames `keep` onwards back from every file: rows, samples and pictures.
void CaptureSession::TakeBack(std::int64_t keep) {
    if (keep >= frames_) {
        return;
    }
    const auto kept = static_cast<std::size_t>(keep);
    const std::int64_t csvLength = keep > 0 ? csvEnds_[kept - 1] : csvHeaderBytes_;
    const std::int64_t samples = keep > 0 ? wavEnds_[kept - 1] : 0;
    // Cutting a file shorter needs no room on the disk; should it fail all the same, the
    // capture has failed already and says so.
    const bool cut = ftruncate(csv_, csvLength) == 0;
    static_cast<void>(cut);
    std::string ignored;
    wav_.Truncate(samples, ignored);
    for (std::int64_t frame = keep; frame < frames_ && options_.writeFrames; ++frame) {
        const std::string name = FrameFileName(frame);
        unlinkat(folder_.FramesFd(), name.c_str(), 0);
        unlinkat(folder_.FramesFd(), (name + ".part").c_str(), 0);
    }
    csvEnds_.resize(kept);
    wavEnds_.resize(kept);
    frames_ = keep;
}

// After a failure: the files keep the frames before `keep`, and nothing more is added.
bool CaptureSession::Fail(std::int64_t keep, const std::string& why, std::string& error) {
    failed_ = true;
    std::string pngError;
    if (options_.writeFrames) {
        const std::int64_t pngFailed = pngs_.Drain(pngError);
        if (pngFailed >= 0 && pngFailed < keep) {
            keep = pngFailed;
        }
    }
    TakeBack(keep);
    error = failure_ = why.empty() ? pngError : why;
    video_.Abandon();
    return false;
}

bool CaptureSession::AddFrame(std::uint32_t syncCount, Phase phase, const std::uint32_t* pixels,
                              const std::int16_t* samples, std::size_t sampleFrames,
                              std::string& error) {
    if (!open_ || failed_) {
        error = open_ ? "the capture has failed" : "the capture is not open";
        return false;
    }
    const std::int64_t index = frames_;
    // A picture that failed in the background takes back its frame and every later one.
    if (options_.writeFrames && pngs_.Failed()) {
        return Fail(index, "", error);
    }
    if (options_.writeFrames) {
        pngs_.Add(index, pixels);
    }
    // From here on this frame counts: a failure takes it back with the ones after it.
    ++frames_;
    csvEnds_.push_back(csvEnds_.empty() ? csvHeaderBytes_ : csvEnds_.back());
    wavEnds_.push_back(wav_.FramesWritten());
    if (!wav_.Append(samples, sampleFrames, error)) {
        return Fail(index, error, error);
    }
    wavEnds_.back() = wav_.FramesWritten();
    char row[64];
    const int length = std::snprintf(row, sizeof(row), "%lld,%u,%s\n",
                                     static_cast<long long>(index), syncCount, PhaseName(phase));
    if (!WriteAll(csv_, row, static_cast<std::size_t>(length), csvEnds_.back())) {
        const std::string why = "cannot write '" + CsvPath() + "': " + std::strerror(errno);
        return Fail(index, why, error);
    }
    csvEnds_.back() += length;
    if (video_.Running() && !video_.AddFrame(pixels, error)) {
        // The files are whole up to here; only the video is lost.
        failed_ = true;
        failure_ = error;
        video_.Abandon();
        return false;
    }
    return true;
}

bool CaptureSession::RewriteAudioEnd(const std::int16_t* samples, std::size_t frames,
                                     std::string& error) {
    if (!open_ || failed_) {
        error = open_ ? "the capture has failed" : "the capture is not open";
        return false;
    }
    return wav_.RewriteEnd(samples, frames, error);
}

bool CaptureSession::Close(std::string& error) {
    bool ok = !failed_;
    if (failed_) {
        error = failure_;
    }
    if (open_ && options_.writeFrames) {
        std::string pngError;
        const std::int64_t pngFailed = pngs_.Drain(pngError);
        if (pngFailed >= 0 && ok) {
            Fail(pngFailed, pngError, error);
            ok = false;
        }
    }
    pngs_.Stop();
    if (csv_ >= 0) {
        if (close(csv_) != 0 && ok) {
            error = "cannot write '" + CsvPath() + "': " + std::strerror(errno);
            ok = false;
        }
        csv_ = -1;
    }
    if (video_.Running()) {
        if (ok && open_) {
            if (!video_.Finish(wav_.Fd(), error)) {
                ok = false;
            } else {
                videoMade_ = true;
            }
        } else {
            video_.Abandon();
        }
    }
    wav_.Close();
    folder_.Close();
    open_ = false;
    failed_ = failed_ || !ok;
    if (!ok) {
        failure_ = error;
    }
    return ok;
}

} // namespace capture
