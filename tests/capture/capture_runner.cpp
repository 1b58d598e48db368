// Test support: starting zarvo-capture and ffprobe, and reading the capture's files.
#include "capture_runner.h"

#include "capture_options.h"
#include "capture_png_writer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace capturetest {

std::string CaptureProgram() {
    return ZARVO_CAPTURE_PATH;
}

std::string BuildFolder() {
    return ZARVO_BUILD_DIR;
}

// Runs `argv` in `workDir` with standard error into `errorFile` (or inherited when empty), and
// standard output into `outputFile` (or nowhere with `quietOutput`, or inherited).
static pid_t Spawn(const std::vector<std::string>& argv, const std::string& workDir,
                   const std::string& errorFile, bool quietOutput,
                   const std::string& outputFile = "") {
    const pid_t pid = fork();
    if (pid != 0) {
        return pid;
    }
    if (!workDir.empty() && chdir(workDir.c_str()) != 0) {
        _exit(126);
    }
    const int nothing = open("/dev/null", O_RDWR);
    dup2(nothing, STDIN_FILENO);
    if (quietOutput) {
        dup2(nothing, STDOUT_FILENO);
    } else if (!outputFile.empty()) {
        const int output = open(outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(output, STDOUT_FILENO);
    }
    if (!errorFile.empty()) {
        const int errors = open(errorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(errors, STDERR_FILENO);
    }
    std::vector<char*> args;
    for (const std::string& arg : argv) {
        args.push_back(const_cast<char*>(arg.c_str()));
    }
    args.push_back(nullptr);
    execvp(args[0], args.data());
    _exit(127);
}

static int WaitExitCode(pid_t pid) {
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid) {
        return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string ReadBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

static pid_t StartCapture(const std::vector<std::string>& args, const std::string& workDir,
                          const std::string& errorFile, const std::string& outputFile = "") {
    std::vector<std::string> argv{CaptureProgram()};
    argv.insert(argv.end(), args.begin(), args.end());
    return Spawn(argv, workDir, errorFile, false, outputFile);
}

RunResult InterruptCapture(const std::vector<std::string>& args, const std::string& workDir,
                           const std::string& out, int frames, int presses) {
    const std::string errorFile = out + "/stderr.txt";
    const pid_t pid = StartCapture(args, workDir, errorFile);
    RunResult result;
    EXPECT_GT(pid, 0);
    if (pid <= 0) {
        return result;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(90);
    while (CountFiles(out + "/frames", ".png") < frames &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    for (int press = 0; press < presses; ++press) {
        if (press > 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        EXPECT_EQ(kill(pid, SIGINT), 0);
    }
    result.exitCode = WaitExitCode(pid);
    result.errors = ReadBytes(errorFile);
    return result;
}

RunResult RunCapture(const std::vector<std::string>& args, const std::string& workDir) {
    char errorFile[] = "/tmp/zarvo-capture-stderr-XXXXXX";
    char outputFile[] = "/tmp/zarvo-capture-stdout-XXXXXX";
    for (char* file : {errorFile, outputFile}) {
        const int fd = mkstemp(file);
        if (fd >= 0) {
            close(fd);
        }
    }
    RunResult result;
    result.exitCode = WaitExitCode(StartCapture(args, workDir, errorFile, outputFile));
    result.errors = ReadBytes(errorFile);
    result.output = ReadBytes(outputFile);
    std::remove(errorFile);
    std::remove(outputFile);
    return result;
}

std::vector<CsvRow> ReadCsv(const std::string& path) {
    std::ifstream file(path);
    std::string line;
    std::vector<CsvRow> rows;
    if (!std::getline(file, line)) {
        ADD_FAILURE() << "no header in " << path;
        return rows;
    }
    EXPECT_EQ(line, "frame,sync_count,phase");
    while (std::getline(file, line)) {
        CsvRow row;
        char phase[16] = "";
        long long frame = 0;
        unsigned count = 0;
        if (std::sscanf(line.c_str(), "%lld,%u,%15s", &frame, &count, phase) != 3) {
            ADD_FAILURE() << "malformed row '" << line << "' in " << path;
            break;
        }
        row.frame = frame;
        row.syncCount = count;
        row.phase = phase;
        rows.push_back(row);
    }
    return rows;
}

static std::uint32_t Le32(const std::string& bytes, std::size_t at) {
    const auto* b = reinterpret_cast<const unsigned char*>(bytes.data());
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) |
           (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

static int Le16(const std::string& bytes, std::size_t at) {
    const auto* b = reinterpret_cast<const unsigned char*>(bytes.data());
    return b[at] | (b[at + 1] << 8);
}

WavInfo ReadWavInfo(const std::string& path) {
    const std::string bytes = ReadBytes(path);
    WavInfo info;
    if (bytes.size() < 44 || bytes.compare(0, 4, "RIFF") != 0 ||
        bytes.compare(8, 8, "WAVEfmt ") != 0 || bytes.compare(36, 4, "data") != 0) {
        return info;
    }
    const std::uint32_t dataBytes = Le32(bytes, 40);
    // A whole file: both sizes of the header agree with what is on disk.
    if (Le32(bytes, 4) != bytes.size() - 8 || dataBytes != bytes.size() - 44) {
        return info;
    }
    info.channels = Le16(bytes, 22);
    info.sampleRate = static_cast<int>(Le32(bytes, 24));
    info.bits = Le16(bytes, 34);
    const int frameBytes = info.channels * info.bits / 8;
    if (frameBytes <= 0 || dataBytes % frameBytes != 0) {
        return info;
    }
    info.frames = dataBytes / frameBytes;
    info.valid = true;
    return info;
}

std::vector<std::int16_t> ReadWavSamples(const std::string& path) {
    std::vector<std::int16_t> samples;
    const WavInfo info = ReadWavInfo(path);
    if (!info.valid || info.bits != 16) {
        return samples;
    }
    const std::string bytes = ReadBytes(path);
    for (std::size_t at = 44; at + 1 < bytes.size(); at += 2) {
        samples.push_back(static_cast<std::int16_t>(Le16(bytes, at)));
    }
    return samples;
}

std::size_t ExpectFilesAgree(const std::string& out, std::int64_t fps, bool frames) {
    const auto rows = ReadCsv(out + "/frames.csv");
    const auto wav = ReadWavInfo(out + "/audio.wav");
    EXPECT_TRUE(wav.valid) << "the WAV header does not match the samples on disk";
    const std::int64_t count = static_cast<std::int64_t>(rows.size());
    EXPECT_EQ(wav.frames, capture::FrameEndSample(count - 1, capture::FrameRate{fps, 1}, 48000));
    if (frames) {
        EXPECT_EQ(CountFiles(out + "/frames", ".png"), count);
        for (const auto& row : rows) {
            EXPECT_EQ(access((out + "/frames/" + capture::FrameFileName(row.frame)).c_str(), F_OK),
                      0)
                << row.frame;
        }
    }
    EXPECT_EQ(CountFiles(out + "/frames", ".part"), 0);
    EXPECT_EQ(CountFiles(out, ".part"), 0);
    return rows.size();
}

int CountFiles(const std::string& folder, const std::string& suffix) {
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) {
        return 0;
    }
    int count = 0;
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.size() > suffix.size() &&
            name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0) {
            ++count;
        }
    }
    closedir(dir);
    return count;
}

bool ProgramAvailable(const char* name) {
    const pid_t pid = Spawn({name, "-version"}, "", "/dev/null", true);
    return WaitExitCode(pid) == 0;
}

std::map<std::string, std::string> Probe(const std::string& video) {
    char outFile[] = "/tmp/zarvo-probe-XXXXXX";
    const int fd = mkstemp(outFile);
    if (fd >= 0) {
        close(fd);
    }
    const std::string command =
        "ffprobe -v error -show_entries "
        "stream=index,codec_name,width,height,r_frame_rate,avg_frame_rate,pix_fmt,color_space,"
        "color_primaries,color_transfer,color_range,sample_aspect_ratio,sample_rate,channels,"
        "duration,nb_frames:format=format_name -of flat=s=. '" +
        video + "' > " + outFile;
    std::map<std::string, std::string> fields;
    if (std::system(command.c_str()) == 0) {
        std::istringstream lines(ReadBytes(outFile));
        std::string line;
        // Lines look like: streams.stream.0.width=1600 or streams.stream.0.pix_fmt="yuv420p"
        while (std::getline(lines, line)) {
            const std::size_t equals = line.find('=');
            const std::string prefix = "streams.stream.";
            const std::string format = "format.";
            std::size_t skip = 0;
            if (line.compare(0, prefix.size(), prefix) == 0) {
                skip = prefix.size();
            } else if (line.compare(0, format.size(), format) == 0) {
                skip = format.size();
            }
            if (equals == std::string::npos || skip == 0) {
                continue;
            }
            std::string value = line.substr(equals + 1);
            if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
                value = value.substr(1, value.size() - 2);
            }
            fields[line.substr(skip, equals - skip)] = value;
        }
    }
    std::remove(outFile);
    return fields;
}

std::vector<std::string> DecodeRgb(const std::string& video, int width, int height) {
    char outFile[] = "/tmp/zarvo-decoded-XXXXXX";
    const int fd = mkstemp(outFile);
    if (fd >= 0) {
        close(fd);
    }
    // Limited-range BT.709 back to RGB, chroma taken as it is (no interpolation across pixels).
    const std::string command = "ffmpeg -v error -y -i '" + video +
                                "' -vf scale=in_color_matrix=bt709:flags=accurate_rnd+"
                                "full_chroma_int -f rawvideo -pix_fmt rgb24 '" +
                                outFile + "'";
    std::vector<std::string> frames;
    if (std::system(command.c_str()) == 0) {
        const std::string bytes = ReadBytes(outFile);
        const std::size_t frameBytes = static_cast<std::size_t>(width) * height * 3;
        for (std::size_t at = 0; at + frameBytes <= bytes.size(); at += frameBytes) {
            frames.push_back(bytes.substr(at, frameBytes));
        }
    }
    std::remove(outFile);
    return frames;
}

} // namespace capturetest
