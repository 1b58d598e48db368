// The module file's opening: search order, override, and a read that refuses and bounds first.
#include "module_file.h"

#include <libopenmpt/libopenmpt.hpp>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

#ifndef ZARVO_DATA_DIR
#define ZARVO_DATA_DIR "/usr/local/share/zarvo"
#endif

namespace platform {

namespace {

std::mutex overrideLock;
std::string overridePath;

std::string OverridePath() {
    std::lock_guard<std::mutex> guard(overrideLock);
    return overridePath;
}

// The folder of the running program, or "" when the system does not say.
std::string ExecutableFolder() {
    char buffer[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length <= 0) {
        return {};
    }
    std::string path(buffer, static_cast<std::size_t>(length));
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return {};
    }
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (folder.empty() || folder == ".") {
        return name;
    }
    return folder.back() == '/' ? folder + name : folder + "/" + name;
}

// Something of this name is there (a dangling link counts: it is what the user put there).
bool Exists(const std::string& path) {
    struct stat info {};
    return lstat(path.c_str(), &info) == 0;
}

const char* KindOf(mode_t mode) {
    if (S_ISDIR(mode)) {
        return "it is a directory";
    }
    if (S_ISFIFO(mode)) {
        return "it is a named pipe";
    }
    if (S_ISCHR(mode) || S_ISBLK(mode)) {
        return "it is a device";
    }
    if (S_ISSOCK(mode)) {
        return "it is a socket";
    }
    return "it is not a regular file";
}

// Closes the descriptor on every road out.
class FileDescriptor {
  public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) {
            close(fd_);
        }
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const {
        return fd_;
    }

  private:
    int fd_;
};

// Reads up to `size` bytes at `out`; returns how many (fewer at the end of the file), or -1.
ssize_t ReadFully(int fd, std::uint8_t* out, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t got = read(fd, out + done, size - done);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return -1;
        }
        if (got == 0) {
            break;
        }
        done += static_cast<std::size_t>(got);
    }
    return static_cast<ssize_t>(done);
}

bool ReadOpened(int fd, const std::string& label, std::vector<std::uint8_t>& data,
                std::string& error) {
    struct stat info {};
    if (fstat(fd, &info) != 0) {
        error = "Unable to read file " + label + ": " + std::strerror(errno);
        return false;
    }
    if (!S_ISREG(info.st_mode)) {
        error = "Unable to read file " + label + ": " + KindOf(info.st_mode);
        return false;
    }
    const auto size = static_cast<std::uint64_t>(info.st_size);
    if (size == 0) {
        error = "Invalid module file " + label + ": the file is empty";
        return false;
    }
    if (size > kModuleFileLimit) {
        error = "Invalid module file " + label + ": " + std::to_string(size) +
                " bytes is larger than any module (the limit is " +
                std::to_string(kModuleFileLimit >> 20) + " MiB)";
        return false;
    }
    // The head first: what libopenmpt cannot play at all is refused without reading the rest.
    const std::size_t headSize =
        std::min<std::size_t>(size, openmpt::probe_file_header_get_recommended_size());
    std::vector<std::uint8_t> head(headSize);
    const ssize_t headRead = ReadFully(fd, head.data(), headSize);
    if (headRead < 0) {
        error = "Unable to read file " + label + ": " + std::strerror(errno);
        return false;
    }
    const int probe = openmpt::probe_file_header(openmpt::probe_file_header_flags_default2,
                                                 head.data(), static_cast<std::size_t>(headRead),
                                                 size);
    if (probe == openmpt::probe_file_header_result_failure) {
        error = "Invalid module file " + label + ": not a module format libopenmpt knows";
        return false;
    }
    data.resize(static_cast<std::size_t>(size));
    std::copy(head.begin(), head.begin() + headRead, data.begin());
    std::size_t total = static_cast<std::size_t>(headRead);
    if (total == headSize && total < data.size()) {
        const ssize_t rest = ReadFully(fd, data.data() + total, data.size() - total);
        if (rest < 0) {
            error = "Unable to read file " + label + ": " + std::strerror(errno);
            return false;
        }
        total += static_cast<std::size_t>(rest);
    }
    if (total == data.size()) {
        // Nothing may follow what the size promised: a file growing under us is not read on.
        std::uint8_t extra = 0;
        if (ReadFully(fd, &extra, 1) != 0) {
            error = "Unable to read file " + label + ": it grew while it was read";
            return false;
        }
    }
    data.resize(total);
    if (data.empty()) {
        error = "Invalid module file " + label + ": the file is empty";
        return false;
    }
    return true;
}

} // namespace

void SetModuleFileOverride(const std::string& path) {
    std::lock_guard<std::mutex> guard(overrideLock);
    overridePath = path;
}

std::vector<std::string> ModuleSearchFolders() {
    std::vector<std::string> folders{".", ZARVO_DATA_DIR};
    const std::string beside = ExecutableFolder();
    if (!beside.empty()) {
        folders.push_back(beside);
    }
    return folders;
}

std::string ResolveModuleFile(const std::string& name) {
    const std::string forced = OverridePath();
    if (!forced.empty()) {
        return forced;
    }
    if (name.empty() || name.find('/') != std::string::npos) {
        return name;
    }
    for (const std::string& folder : ModuleSearchFolders()) {
        const std::string path = JoinPath(folder, name);
        if (Exists(path)) {
            return path;
        }
    }
    return name;
}

bool ReadModuleFile(const std::string& name, std::vector<std::uint8_t>& data,
                    std::string& error) {
    data.clear();
    try {
        if (name.empty()) {
            error = "Unable to open file: no file name";
            return false;
        }
        const std::string path = ResolveModuleFile(name);
        const std::string label = path == name ? "'" + name + "'" : "'" + name + "' (" + path + ")";
        // Without O_NONBLOCK, opening a FIFO would wait for a writer that may never come.
        FileDescriptor file(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
        if (file.get() < 0) {
            error = "Unable to open file " + label + ": " + std::strerror(errno);
            return false;
        }
        if (!ReadOpened(file.get(), label, data, error)) {
            data = std::vector<std::uint8_t>();
            return false;
        }
        return true;
    } catch (const std::bad_alloc&) {
        data = std::vector<std::uint8_t>();
        try {
            error = "Unable to read file '" + name + "': not enough memory";
        } catch (const std::bad_alloc&) {
            error.clear();
        }
        return false;
    }
}

} // namespace platform
