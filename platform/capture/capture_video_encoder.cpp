// The ffmpeg runs of the video: spawning, the frame pipe, waiting, and the final mux.
#include "capture_video_encoder.h"

#include "capture_output_folder.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace capture {

static constexpr useconds_t kWaitPollMicroseconds = 10000;

static constexpr const char* kAudioBitrate = "192k";
static constexpr int kPipeBytes = 1 << 20;
// A fixed thread count: x264 gives the same bytes run after run for the same count, so any
// machine gives identical files. Three frame threads keep both cores of a two-core machine busy
// while ffmpeg's own thread reads and enlarges the next frames (two gave 7 % less).
static constexpr const char* kEncoderThreads = "3";
// The enlargement steps run on ffmpeg's filter thread, before the encoder's: cut in slices on two
// threads they keep up with it. The slices meet at row boundaries, so the bytes do not change.
static constexpr const char* kScaleThreads = "2";

static std::string Size(int width, int height) {
    return std::to_string(width) + ":" + std::to_string(height);
}

std::string VideoEncoder::Filters(const CaptureOptions& options) {
    const VideoLayout layout = LayoutFor(options.videoWidth, options.videoHeight);
    // The colour conversion is a step of its own, at the native size (cheap, and the matrix named
    // here is the one used and tagged); the lossless video stays RGB.
    std::string graph =
        options.lossless
            ? "format=rgb24"
            : "scale=out_color_matrix=bt709:out_range=tv:flags=accurate_rnd,format=yuv444p";
    if (layout.Native()) {
        // Native pixels are 5:6 wide so that the picture still fills a 4:3 screen.
        return graph + ",setsar=5/6";
    }
    graph += ",scale=" + Size(layout.enlargedWidth, layout.enlargedHeight) +
             ":flags=neighbor:threads=" + kScaleThreads;
    if (layout.SmoothStep()) {
        // Area averaging: each output pixel is the mean of what it covers, so every source pixel
        // keeps the same width and only its edges are shared with a neighbour. Without
        // accurate_rnd, which took a third of the filters' time at 1440x1080 for a difference
        // of 68 dB PSNR from it, far below what the encoder changes.
        graph += ",scale=" + Size(layout.pictureWidth, layout.pictureHeight) +
                 ":flags=area:threads=" + kScaleThreads;
    }
    if (layout.Bars()) {
        graph += ",pad=" + Size(layout.width, layout.height) + ":" + std::to_string(layout.left) +
                 ":" + std::to_string(layout.top) + ":color=black";
    }
    return graph + ",setsar=1";
}

std::vector<std::string> VideoEncoder::EncodeArguments(const CaptureOptions& options,
                                                       const std::string& videoPart) {
    std::vector<std::string> args = {
        "ffmpeg",     "-hide_banner",
        "-loglevel",  "error",
        "-nostats",   "-y",
        "-f",         "rawvideo",
        "-pix_fmt",   "bgr0",
        "-s",         std::to_string(kFrameWidth) + "x" + std::to_string(kFrameHeight),
        "-framerate", FrameRateText(options.fps),
        "-i",         "pipe:0",
        "-vf",        Filters(options),
        "-preset",    options.preset};
    if (options.lossless) {
        args.insert(args.end(), {"-c:v", "libx264rgb", "-qp", "0", "-pix_fmt", "rgb24",
                                 "-colorspace", "rgb", "-color_range", "pc"});
    } else {
        args.insert(args.end(), {"-c:v", "libx264", "-crf", std::to_string(options.crf), "-pix_fmt",
                                 "yuv444p", "-colorspace", "bt709", "-color_range", "tv"});
    }
    args.insert(args.end(), {"-color_primaries", "bt709", "-color_trc", "bt709", "-threads",
                             kEncoderThreads, "-map_metadata", "-1", "-fflags", "+bitexact",
                             "-flags:v", "+bitexact", "-an", "-f", "mp4", videoPart});
    return args;
}

std::vector<std::string> VideoEncoder::MuxArguments(const std::string& videoPart,
                                                    const std::string& wavPath,
                                                    const std::string& outputPart,
                                                    Container container) {
    std::vector<std::string> args = {
        "ffmpeg",  "-hide_banner", "-loglevel", "error",    "-nostats",      "-y",
        "-i",      videoPart,      "-i",        wavPath,    "-map",          "0:v:0",
        "-map",    "1:a:0",        "-c:v",      "copy",     "-c:a",          "aac",
        "-b:a",    kAudioBitrate,  "-threads",  "1",        "-map_metadata", "-1",
        "-fflags", "+bitexact",    "-flags:a",  "+bitexact"};
    if (container != Container::mkv) {
        // The index first, so that a player or an upload can start before the whole file is in.
        args.insert(args.end(), {"-movflags", "+faststart"});
    }
    args.insert(args.end(), {"-f", ContainerFormat(container), outputPart});
    return args;
}

// Starts a program with the given arguments; its standard input is `stdinFd` when not -1, and
// the descriptors in `kept` stay open in it under their numbers (a dup2 onto itself clears the
// close-on-exec flag). The child gets default signal handling and a process group of its own.
static pid_t Spawn(const std::vector<std::string>& arguments, int stdinFd, int nullOutput,
                   const std::vector<int>& kept = {}) {
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
    for (int fd : kept) {
        posix_spawn_file_actions_adddup2(&actions, fd, fd);
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

// Waits for the child like WaitSucceeded, polling so that a give-up request ends it at once.
bool VideoEncoder::Wait(pid_t pid, std::string& how) {
    bool killed = false;
    for (;;) {
        int status = 0;
        const pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid) {
            if (killed) {
                how = "given up";
                return false;
            }
            if (WIFEXITED(status) && WEXITSTATUS(status) == 0) {
                return true;
            }
            how = WIFEXITED(status)
                      ? "ffmpeg ended with exit code " + std::to_string(WEXITSTATUS(status))
                      : "ffmpeg was ended by signal " + std::to_string(WTERMSIG(status));
            return false;
        }
        if (done < 0 && errno != EINTR) {
            how = std::string("cannot wait for ffmpeg: ") + std::strerror(errno);
            return false;
        }
        if (GivingUp() && !killed) {
            kill(pid, SIGKILL);
            killed = true;
        }
        usleep(kWaitPollMicroseconds);
    }
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

std::string VideoEncoder::FileOf(int fd) {
    return "file:/dev/fd/" + std::to_string(fd);
}

// Closes the descriptor and removes the file of that name (a name taken over by a link since
// loses only the link).
static void RemovePart(int& fd, const std::string& name) {
    if (fd >= 0) {
        close(fd);
        fd = -1;
        unlink(name.c_str());
    }
}

void VideoEncoder::RemoveParts() {
    RemovePart(videoPartFd_, videoPart_);
    RemovePart(outputPartFd_, outputPart_);
}

bool VideoEncoder::Start(const CaptureOptions& options, std::string& error) {
    Abandon();
    videoFile_ = options.videoFile;
    container_ = options.container;
    videoPart_ = options.videoFile + ".video.part";
    outputPart_ = options.videoFile + ".part";
    // The video replaces whatever has its name when it is done (a link, not what it points to):
    // only a file, and only the user's own.
    struct stat info {};
    if (lstat(videoFile_.c_str(), &info) == 0) {
        if (S_ISDIR(info.st_mode)) {
            error = "--video '" + videoFile_ + "' is a folder";
            return false;
        }
        if (info.st_uid != geteuid()) {
            error = "--video '" + videoFile_ + "' belongs to another user (uid " +
                    std::to_string(info.st_uid) + "); the capture replaces only a file of its own";
            return false;
        }
    }
    videoPartFd_ = CreateFresh(AT_FDCWD, videoPart_, videoPart_, error);
    if (videoPartFd_ < 0) {
        return false;
    }
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        error = std::string("cannot make a pipe for ffmpeg: ") + std::strerror(errno);
        RemoveParts();
        return false;
    }
    // Room for a few frames, so that the show renders ahead while ffmpeg reads, instead of both
    // taking turns over 64 KiB; where the system allows less, the pipe keeps its size.
    (void)fcntl(fds[1], F_SETPIPE_SZ, kPipeBytes);
    pid_ = Spawn(EncodeArguments(options, FileOf(videoPartFd_)), fds[0], 0, {videoPartFd_});
    const int spawnErrno = errno;
    close(fds[0]);
    if (pid_ < 0) {
        close(fds[1]);
        RemoveParts();
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
            if (errno == EINTR && !GivingUp()) {
                continue;
            }
            if (GivingUp()) {
                error = "the video was given up";
            } else if (errno == EPIPE) {
                error = "ffmpeg stopped taking frames";
            } else {
                error = std::string("cannot write to ffmpeg: ") + std::strerror(errno);
            }
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    ++frames_;
    return true;
}

bool VideoEncoder::Finish(int wavFd, std::string& error) {
    if (pid_ <= 0) {
        error = "the video encoder is not running";
        return false;
    }
    close(pipe_);
    pipe_ = -1;
    std::string how;
    const bool encoded = Wait(pid_, how);
    pid_ = -1;
    if (!encoded) {
        error = "the video could not be encoded (" + how + ")";
    } else if (frames_ == 0) {
        error = "no frame was shown, so there is no video";
    } else if (GivingUp()) {
        error = "the video was given up";
    } else if ((outputPartFd_ = CreateFresh(AT_FDCWD, outputPart_, outputPart_, error)) >= 0) {
        const pid_t mux = Spawn(
            MuxArguments(FileOf(videoPartFd_), FileOf(wavFd), FileOf(outputPartFd_), container_),
            -1, 0, {videoPartFd_, wavFd, outputPartFd_});
        if (mux < 0) {
            error = std::string("cannot start ffmpeg: ") + std::strerror(errno);
        } else if (!Wait(mux, how)) {
            error = "the video could not be joined with the sound (" + how + ")";
        } else if (std::rename(outputPart_.c_str(), videoFile_.c_str()) != 0) {
            error = "cannot rename '" + outputPart_ + "': " + std::strerror(errno);
        } else {
            close(outputPartFd_);
            outputPartFd_ = -1; // it is the video now
            RemoveParts();
            return true;
        }
    }
    RemoveParts();
    return false;
}

void VideoEncoder::Abandon() {
    if (pipe_ >= 0) {
        close(pipe_);
        pipe_ = -1;
    }
    if (pid_ > 0) {
        kill(pid_, SIGKILL);
        std::string how;
        WaitSucceeded(pid_, how);
        pid_ = -1;
    }
    RemoveParts();
}

} // namespace capture
