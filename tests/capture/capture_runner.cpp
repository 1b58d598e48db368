// Test support: starting zarvo-capture and ffprobe, and reading the capture's files.
#include "capture_runner.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace capturetest {

std::string CaptureProgram() {
    return ZARVO_CAPTURE_PATH;
}

std::string BuildFolder() {
    return ZARVO_BUILD_DIR;
}

// Runs `argv` in `workDir` with standard error into `errorFile` (or inherited when empty).
static pid_t Spawn(const std::vector<std::string>& argv, const std::string& workDir,
                   const std::string& errorFile, bool quietOutput) {
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

int WaitExitCode(pid_t pid) {
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

pid_t StartCapture(const std::vector<std::string>& args, const std::string& workDir,
                   const std::string& errorFile) {
    std::vector<std::string> argv{CaptureProgram()};
    argv.insert(argv.end(), args.begin(), args.end());
    return Spawn(argv, workDir, errorFile, false);
}

RunResult RunCapture(const std::vector<std::string>& args, const std::string& workDir) {
    char errorFile[] = "/tmp/zarvo-capture-stderr-XXXXXX";
    const int fd = mkstemp(errorFile);
    if (fd >= 0) {
        close(fd);
    }
    RunResult result;
    result.exitCode = WaitExitCode(StartCapture(args, workDir, errorFile));
    result.errors = ReadBytes(errorFile);
    std::remove(errorFile);
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
        "duration,nb_frames -of flat=s=. '" +
        video + "' > " + outFile;
    std::map<std::string, std::string> fields;
    if (std::system(command.c_str()) == 0) {
        std::istringstream lines(ReadBytes(outFile));
        std::string line;
        // Lines look like: streams.stream.0.width=1600 or streams.stream.0.pix_fmt="yuv420p"
        while (std::getline(lines, line)) {
            const std::size_t equals = line.find('=');
            const std::string prefix = "streams.stream.";
            if (equals == std::string::npos || line.compare(0, prefix.size(), prefix) != 0) {
                continue;
            }
            std::string value = line.substr(equals + 1);
            if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
                value = value.substr(1, value.size() - 2);
            }
            fields[line.substr(prefix.size(), equals - prefix.size())] = value;
        }
    }
    std::remove(outFile);
    return fields;
}

} // namespace capturetest
