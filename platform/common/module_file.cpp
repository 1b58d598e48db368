// The module file's opening: search order, override, refusals before reading, a bounded stream.
#include "module_file.h"

#include <libopenmpt/libopenmpt.hpp>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <streambuf>
#include <sys/stat.h>
#include <unistd.h>

#ifndef ZARVO_DATA_DIR
#define ZARVO_DATA_DIR "/usr/local/share/zarvo"
#endif
#ifndef ZARVO_DATA_DIR_FROM_PROGRAM
#define ZARVO_DATA_DIR_FROM_PROGRAM "../share/zarvo"
#endif

namespace platform {

namespace {

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

// Reads up to `size` bytes at `offset`; returns how many (fewer at the end of the file), or -1.
ssize_t ReadAt(int fd, std::uint64_t offset, char* out, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t got = pread(fd, out + done, size - done, static_cast<off_t>(offset + done));
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return done > 0 ? static_cast<ssize_t>(done) : -1;
        }
        if (got == 0) {
            break;
        }
        done += static_cast<std::size_t>(got);
    }
    return static_cast<ssize_t>(done);
}

} // namespace

// A read-only, seekable stream buffer over the opened file, ending at the size it was checked
// with. A read error reads as the end of the file (the parser then sees a truncated module).
struct ModuleFile::Reader : std::streambuf {
    static constexpr std::size_t kBufferSize = 64 * 1024;

    Reader(int descriptor, std::uint64_t bytes) : fd(descriptor), size(bytes) {}
    ~Reader() override {
        close(fd);
    }
    Reader(const Reader&) = delete;
    Reader& operator=(const Reader&) = delete;

    int_type underflow() override {
        if (gptr() < egptr()) {
            return traits_type::to_int_type(*gptr());
        }
        if (end >= size) {
            return traits_type::eof();
        }
        const auto want =
            static_cast<std::size_t>(std::min<std::uint64_t>(kBufferSize, size - end));
        const ssize_t got = ReadAt(fd, end, buffer, want);
        if (got <= 0) {
            return traits_type::eof();
        }
        setg(buffer, buffer, buffer + got);
        end += static_cast<std::uint64_t>(got);
        return traits_type::to_int_type(*gptr());
    }

    pos_type seekoff(off_type offset, std::ios_base::seekdir direction,
                     std::ios_base::openmode which) override {
        if ((which & std::ios_base::out) != 0) {
            return pos_type(off_type(-1));
        }
        const auto here = static_cast<off_type>(end) - (egptr() - gptr());
        off_type target = offset;
        if (direction == std::ios_base::cur) {
            target += here;
        } else if (direction == std::ios_base::end) {
            target += static_cast<off_type>(size);
        }
        if (target < 0 || target > static_cast<off_type>(size)) {
            return pos_type(off_type(-1));
        }
        const auto bufferStart = static_cast<off_type>(end) - (egptr() - eback());
        if (target >= bufferStart && target <= static_cast<off_type>(end)) {
            setg(eback(), eback() + (target - bufferStart), egptr());
        } else {
            setg(buffer, buffer, buffer);
            end = static_cast<std::uint64_t>(target);
        }
        return pos_type(target);
    }

    pos_type seekpos(pos_type position, std::ios_base::openmode which) override {
        return seekoff(off_type(position), std::ios_base::beg, which);
    }

    int fd;
    std::uint64_t size;
    std::uint64_t end = 0; // the file offset just past the buffered bytes
    char buffer[kBufferSize];
};

namespace {

// Checks the opened file (see the header); the head is read with plain reads.
bool CheckOpened(int fd, const std::string& label, std::uint64_t& size, std::string& error) {
    struct stat info {};
    if (fstat(fd, &info) != 0) {
        error = "Unable to read file " + label + ": " + std::strerror(errno);
        return false;
    }
    if (!S_ISREG(info.st_mode)) {
        error = "Unable to read file " + label + ": " + KindOf(info.st_mode);
        return false;
    }
    size = static_cast<std::uint64_t>(info.st_size);
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
    const std::size_t headSize = static_cast<std::size_t>(
        std::min<std::uint64_t>(size, openmpt::probe_file_header_get_recommended_size()));
    std::vector<std::uint8_t> head(headSize);
    const ssize_t headRead = ReadAt(fd, 0, reinterpret_cast<char*>(head.data()), headSize);
    if (headRead < 0) {
        error = "Unable to read file " + label + ": " + std::strerror(errno);
        return false;
    }
    const int probe =
        openmpt::probe_file_header(openmpt::probe_file_header_flags_default2, head.data(),
                                   static_cast<std::size_t>(headRead), size);
    if (probe == openmpt::probe_file_header_result_failure) {
        error = "Invalid module file " + label + ": not a module format libopenmpt knows";
        return false;
    }
    return true;
}

} // namespace

std::vector<std::string> ModuleSearchFolders() {
    // The installed data folder as it lies from the installed program, when there is one (an
    // install to any prefix finds its own copy), else where the build was set to install it.
    const std::string beside = ExecutableFolder();
    std::string installed = ZARVO_DATA_DIR;
    struct stat info {};
    if (!beside.empty()) {
        const std::string relative = JoinPath(beside, ZARVO_DATA_DIR_FROM_PROGRAM);
        if (stat(relative.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
            installed = relative;
        }
    }
    std::vector<std::string> folders{".", installed};
    if (!beside.empty()) {
        folders.push_back(beside);
    }
    return folders;
}

std::string ResolveModuleFile(const std::string& name) {
    const std::string forced = ModuleFileOverride();
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

ModuleFile::ModuleFile() = default;
ModuleFile::~ModuleFile() = default;

bool ModuleFile::Open(const std::string& name, std::string& error) {
    stream_.reset();
    reader_.reset();
    try {
        if (name.empty()) {
            error = "Unable to open file: no file name";
            return false;
        }
        const std::string path = ResolveModuleFile(name);
        const std::string label = path == name ? "'" + name + "'" : "'" + name + "' (" + path + ")";
        // Without O_NONBLOCK, opening a FIFO would wait for a writer that may never come.
        const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (fd < 0) {
            error = "Unable to open file " + label + ": " + std::strerror(errno);
            return false;
        }
        // The reader owns the descriptor once it exists; until then every road out closes it.
        bool checked = false;
        try {
            std::uint64_t size = 0;
            checked = CheckOpened(fd, label, size, error);
            if (checked) {
                reader_ = std::make_unique<Reader>(fd, size);
            }
        } catch (const std::bad_alloc&) {
            close(fd);
            throw;
        }
        if (!checked) {
            close(fd);
            return false;
        }
        stream_ = std::make_unique<std::istream>(reader_.get());
        return true;
    } catch (const std::bad_alloc&) {
        stream_.reset();
        reader_.reset();
        try {
            error = "Unable to read file '" + name + "': not enough memory";
        } catch (const std::bad_alloc&) {
            error.clear();
        }
        return false;
    }
}

std::istream& ModuleFile::Stream() {
    return *stream_;
}

std::uint64_t ModuleFile::Size() const {
    return reader_ ? reader_->size : 0;
}

} // namespace platform
