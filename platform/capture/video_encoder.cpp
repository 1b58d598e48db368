// The ffmpeg runs of the video: spawning, the frame pipe, waiting, and the final mux.
#include "video_encoder.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace capture {

// H.264 quality: nearly transparent for these flat-shaded pictures, and quick to encode.
static constexpr const char* kPreset = "veryfast";
static constexpr const char* kQuality = "16";
static constexpr const char* kAudioBitrate = "192k";
// A fixed thread count: x264 gives the same bytes run after run for the same count, and two
// threads double the speed on a two-core machine while any machine gives identical files.
static constexpr const char* kEncoderThreads = "2";

static std::string ScaleFilter(const CaptureOptions& options) {
    // The colour conversion is a step of its own, at the native size (cheap, and the matrix named
    // here is the one used and tagged); the enlargement then repeats whole pixels of all three
    // planes and halves the chroma last.
    const std::string convert = "scale=out_color_matrix=bt709:out_range=tv:flags=accurate_rnd";
    if (options.videoWidth == kFrameWidth && options.videoHeight == kFrameHeight) {
        // Native pixels are 5:6 wide so that the picture still fills a 4:3 screen.
        return convert + ",format=yuv420p,setsar=5/6";
    }
    return convert + ",format=yuv444p,scale=" + std::to_string(options.videoWidth) + ":" +
           std::to_string(options.videoHeight) + ":flags=neighbor,format=yuv420p,setsar=1";
}

std::vector<std::string> VideoEncoder::EncodeArguments(const CaptureOptions& options,
                                                       const std::string& videoPart) {
    return {"ffmpeg",
            "-hide_banner",
            "-loglevel",
            "error",
            "-nostats",
            "-y",
            "-f",
            "rawvideo",
            "-pix_fmt",
            "bgr0",
            "-s",
            std::to_string(kFrameWidth) + "x" + std::to_string(kFrameHeight),
            "-framerate",
            FrameRateText(options.fps),
            "-i",
            "pipe:0",
            "-vf",
            ScaleFilter(options),
            "-c:v",
            "libx264",
            "-preset",
            kPreset,
            "-crf",
            kQuality,
            "-pix_fmt",
            "yuv420p",
            "-colorspace",
            "bt709",
            "-color_primaries",
            "bt709",
            "-color_trc",
            "bt709",
            "-color_range",
            "tv",
            "-threads",
            kEncoderThreads,
            "-map_metadata",
            "-1",
            "-fflags",
            "+bitexact",
            "-flags:v",
            "+bitexact",
            "-an",
            "-f",
            "mp4",
            videoPart};
}

std::vector<std::string> VideoEncoder::MuxArguments(const std::string& videoPart,
                                                    const std::string& wavPath,
                                                    const std::string& outputPart) {
    return {"ffmpeg",  "-hide_banner", "-loglevel", "error",     "-nostats",      "-y",
            "-i",      videoPart,      "-i",        wavPath,     "-map",          "0:v:0",
            "-map",    "1:a:0",        "-c:v",      "copy",      "-c:a",          "aac",
            "-b:a",    kAudioBitrate,  "-threads",  "1",         "-map_metadata", "-1",
            "-fflags", "+bitexact",    "-flags:a",  "+bitexact", "-movflags",     "+faststart",
            "-f",      "mp4",          outputPart};
}

// Starts a program with the given arguments; its standard input is `stdinFd` when not -1.
// The child gets default signal handling and a process group of its own.
static pid_t Spawn(const std::vector<std::string>& arguments, int stdinFd, int nullOutput) {
    std::vector<char*> argv;
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (stdinFd >= 0) {
        posix_spawn_file_actions_adddup2(&actions, stdinFd, STDIN_FILENO);
    } else {
        posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    }
    if (nullOutput != 0) {
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    }
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGINT);
    sigaddset(&defaults, SIGTERM);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setpgroup(&attributes, 0);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETPGROUP);

    pid_t pid = -1;
    const int failed = posix_spawnp(&pid, argv[0], &actions, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (failed != 0) {
        errno = failed;
        return -1;
    }
    return pid;
}

// Waits for the child; true when it exited with status 0.
static bool WaitSucceeded(pid_t pid, std::string& how) {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) {
            how = std::string("cannot wait for ffmpeg: ") + std::strerror(errno);
            return false;
        }
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) {
        return true;
    }
    how = WIFEXITED(status) ? "ffmpeg ended with exit code " + std::to_string(WEXITSTATUS(status))
                            : "ffmpeg was ended by signal " + std::to_string(WTERMSIG(status));
    return false;
}

bool FfmpegAvailable() {
    const pid_t pid = Spawn({"ffmpeg", "-hide_banner", "-version"}, -1, 1);
    if (pid < 0) {
        return false;
    }
    std::string how;
    return WaitSucceeded(pid, how);
}

VideoEncoder::~VideoEncoder() {
    Abandon();
}

bool VideoEncoder::Start(const CaptureOptions& options, std::string& error) {
    videoFile_ = options.videoFile;
    videoPart_ = options.videoFile + ".video.part";
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        error = std::string("cannot make a pipe for ffmpeg: ") + std::strerror(errno);
        return false;
    }
    pid_ = Spawn(EncodeArguments(options, videoPart_), fds[0], 0);
    const int spawnErrno = errno;
    close(fds[0]);
    if (pid_ < 0) {
        close(fds[1]);
        error = std::string("cannot start ffmpeg: ") + std::strerror(spawnErrno);
        return false;
    }
    pipe_ = fds[1];
    frames_ = 0;
    return true;
}

bool VideoEncoder::AddFrame(const std::uint32_t* pixels, std::string& error) {
    if (pipe_ < 0) {
        error = "the video encoder is not running";
        return false;
    }
    // The words are written as they lie in memory: little-endian 0x00RRGGBB is B, G, R, 0.
    const auto* data = reinterpret_cast<const std::uint8_t*>(pixels);
    std::size_t size = sizeof(std::uint32_t) * kFrameWidth * kFrameHeight;
    while (size > 0) {
        const ssize_t written = write(pipe_, data, size);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            error = errno == EPIPE ? std::string("ffmpeg stopped taking frames")
                                   : std::string("cannot write to ffmpeg: ") + std::strerror(errno);
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    ++frames_;
    return true;
}

bool VideoEncoder::Finish(const std::string& wavPath, std::string& error) {
    if (pid_ <= 0) {
        error = "the video encoder is not running";
        return false;
    }
    close(pipe_);
    pipe_ = -1;
    std::string how;
    const bool encoded = WaitSucceeded(pid_, how);
    pid_ = -1;
    if (!encoded) {
        error = "the video could not be encoded (" + how + ")";
        std::remove(videoPart_.c_str());
        return false;
    }
    if (frames_ == 0) {
        error = "no frame was shown, so there is no video";
        std::remove(videoPart_.c_str());
        return false;
    }
    const std::string outputPart = videoFile_ + ".part";
    const pid_t mux = Spawn(MuxArguments(videoPart_, wavPath, outputPart), -1, 0);
    if (mux < 0) {
        error = std::string("cannot start ffmpeg: ") + std::strerror(errno);
        std::remove(videoPart_.c_str());
        return false;
    }
    const bool muxed = WaitSucceeded(mux, how);
    std::remove(videoPart_.c_str());
    if (!muxed) {
        error = "the video could not be joined with the sound (" + how + ")";
        std::remove(outputPart.c_str());
        return false;
    }
    if (std::rename(outputPart.c_str(), videoFile_.c_str()) != 0) {
        error = "cannot rename '" + outputPart + "': " + std::strerror(errno);
        return false;
    }
    return true;
}

void VideoEncoder::Abandon() {
    if (pipe_ >= 0) {
        close(pipe_);
        pipe_ = -1;
    }
    if (pid_ > 0) {
        std::string how;
        WaitSucceeded(pid_, how);
        pid_ = -1;
        std::remove(videoPart_.c_str());
    }
}

} // namespace capture
