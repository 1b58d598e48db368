// The capture's files: folder set-up, one frame's outputs, and the final completion.
#include "capture_session.h"

#include "png_writer.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

namespace capture {

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

bool CaptureSession::Open(const CaptureOptions& options, std::string& error) {
    options_ = options;
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
    const std::string csvPath = options.outDir + "/frames.csv";
    csv_ = std::fopen(csvPath.c_str(), "we");
    if (csv_ == nullptr) {
        error = "cannot create '" + csvPath + "': " + std::strerror(errno);
        return false;
    }
    std::fputs("frame,sync_count,phase\n", csv_);
    std::fflush(csv_);
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
    open_ = true;
    return true;
}

bool CaptureSession::AddFrame(std::int64_t index, std::uint32_t syncCount, Phase phase,
                              const std::uint32_t* pixels, std::string& error) {
    if (!open_) {
        error = "the capture is not open";
        return false;
    }
    if (options_.writeFrames) {
        const std::string path = options_.outDir + "/frames/" + FrameFileName(index);
        if (!WritePng(path, pixels, kFrameWidth, kFrameHeight, kFrameWidth, error)) {
            return false;
        }
    }
    // One whole row per write and flush, so the file ends on a complete row at any moment.
    char row[64];
    const int length = std::snprintf(row, sizeof(row), "%lld,%u,%s\n",
                                     static_cast<long long>(index), syncCount, PhaseName(phase));
    if (std::fwrite(row, 1, static_cast<std::size_t>(length), csv_) !=
            static_cast<std::size_t>(length) ||
        std::fflush(csv_) != 0) {
        error = "cannot write '" + options_.outDir + "/frames.csv': " + std::strerror(errno);
        return false;
    }
    if (video_.Running() && !video_.AddFrame(pixels, error)) {
        return false;
    }
    return true;
}

bool CaptureSession::AddAudio(const std::int16_t* samples, std::size_t frames, std::string& error) {
    if (!open_) {
        error = "the capture is not open";
        return false;
    }
    return wav_.Append(samples, frames, error);
}

bool CaptureSession::RewriteAudioEnd(const std::int16_t* samples, std::size_t frames,
                                     std::string& error) {
    if (!open_) {
        error = "the capture is not open";
        return false;
    }
    return wav_.RewriteEnd(samples, frames, error);
}

bool CaptureSession::Close(std::string& error) {
    bool ok = true;
    if (csv_ != nullptr) {
        if (std::fclose(csv_) != 0) {
            error = "cannot write '" + options_.outDir + "/frames.csv': " + std::strerror(errno);
            ok = false;
        }
        csv_ = nullptr;
    }
    wav_.Close();
    if (video_.Running()) {
        std::string videoError;
        if (ok && open_) {
            if (!video_.Finish(WavPath(), videoError)) {
                error = videoError;
                ok = false;
            }
        } else {
            video_.Abandon();
        }
    }
    open_ = false;
    return ok;
}

} // namespace capture
