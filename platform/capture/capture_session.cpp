// The capture's files: folder set-up, one frame's outputs, and the final completion.
#include "capture_session.h"

#include "capture_png_writer.h"
#include "capture_write_all.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace capture {

const char* PhaseName(Phase phase) {
    switch (phase) {
    case Phase::opening:
        return "opening";
    case Phase::main:
        return "main";
    case Phase::fade:
        return "fade";
    case Phase::hold:
        return "hold";
    }
    return "unknown";
}

static bool IsFolder(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool MakeFolders(const std::string& path, std::string& error) {
    if (path.empty()) {
        error = "no folder name";
        return false;
    }
    for (std::size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        const std::string part = path.substr(0, slash);
        if (!part.empty() && !IsFolder(part) && mkdir(part.c_str(), 0755) != 0 && errno != EEXIST) {
            error = "cannot create the folder '" + part + "': " + std::strerror(errno);
            return false;
        }
        if (slash == std::string::npos) {
            break;
        }
    }
    if (!IsFolder(path)) {
        error = "'" + path + "' is not a folder";
        return false;
    }
    return true;
}

// Names this program gives frames: six or more digits and ".png", or such a name + ".part".
static bool IsFrameFileName(const char* name) {
    std::size_t digits = 0;
    while (name[digits] >= '0' && name[digits] <= '9') {
        ++digits;
    }
    return digits >= 6 && (std::strcmp(name + digits, ".png") == 0 ||
                           std::strcmp(name + digits, ".png.part") == 0);
}

static void RemoveOldFrames(const std::string& folder) {
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) {
        return;
    }
    while (const dirent* entry = readdir(dir)) {
        if (IsFrameFileName(entry->d_name)) {
            unlink((folder + "/" + entry->d_name).c_str());
        }
    }
    closedir(dir);
}

CaptureSession::~CaptureSession() {
    std::string ignored;
    Close(ignored);
}

std::string CaptureSession::WavPath() const {
    return options_.outDir + "/audio.wav";
}

std::string CaptureSession::CsvPath() const {
    return options_.outDir + "/frames.csv";
}

bool CaptureSession::Open(const CaptureOptions& options, std::string& error) {
    options_ = options;
    failed_ = false;
    failure_.clear();
    videoMade_ = false;
    frames_ = 0;
    csvEnds_.clear();
    wavEnds_.clear();
    if (!MakeFolders(options.outDir, error)) {
        return false;
    }
    const std::string frames = options.outDir + "/frames";
    if (IsFolder(frames)) {
        RemoveOldFrames(frames);
    }
    if (options.writeFrames && !MakeFolders(frames, error)) {
        return false;
    }
    csv_ = open(CsvPath().c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (csv_ < 0) {
        error = "cannot create '" + CsvPath() + "': " + std::strerror(errno);
        return false;
    }
    static constexpr char kHeader[] = "frame,sync_count,phase\n";
    csvHeaderBytes_ = static_cast<std::int64_t>(sizeof(kHeader) - 1);
    if (!WriteAll(csv_, kHeader, sizeof(kHeader) - 1, 0)) {
        error = "cannot write '" + CsvPath() + "': " + std::strerror(errno);
        return false;
    }
    if (!wav_.Open(WavPath(), options.sampleRate, error)) {
        return false;
    }
    if (!options.videoFile.empty()) {
        // ffmpeg would only find out at its first frame that the video cannot be written.
        // The file itself appears only once the video is complete.
        const bool existed = access(options.videoFile.c_str(), F_OK) == 0;
        std::FILE* probe = std::fopen(options.videoFile.c_str(), "ab");
        if (probe == nullptr) {
            error = "cannot create '" + options.videoFile + "': " + std::strerror(errno);
            return false;
        }
        std::fclose(probe);
        if (!existed) {
            unlink(options.videoFile.c_str());
        }
        if (!video_.Start(options, error)) {
            return false;
        }
    }
    if (options.writeFrames) {
        pngs_.Start(frames, pngThreads_ > 0 ? pngThreads_ : PngThreadsForMachine());
    }
    open_ = true;
    return true;
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
    const std::string folder = options_.outDir + "/frames/";
    for (std::int64_t frame = keep; frame < frames_; ++frame) {
        const std::string path = folder + FrameFileName(frame);
        unlink(path.c_str());
        unlink((path + ".part").c_str());
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
    wav_.Close();
    if (video_.Running()) {
        if (ok && open_) {
            if (!video_.Finish(WavPath(), error)) {
                ok = false;
            } else {
                videoMade_ = true;
            }
        } else {
            video_.Abandon();
        }
    }
    open_ = false;
    failed_ = failed_ || !ok;
    if (!ok) {
        failure_ = error;
    }
    return ok;
}

} // namespace capture
