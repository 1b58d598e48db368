// The module file's opening: search order, override, refusals before reading, one whole read.
//
// The same code on every system; what differs is kept to the few lines below that name the
// program's own folder, open a file and ask what kind it is.
#include "module_file.h"

#include <libopenmpt/libopenmpt.hpp>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <new>
#include <sys/stat.h>

// The build names the installed data folder (ZARVO_DATA_DIR) and where it lies from the installed
// program (ZARVO_DATA_DIR_FROM_PROGRAM); without them only the working directory and the
// program's folder are searched.

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <climits>
#include <unistd.h>
#endif

namespace platform {

namespace {

std::mutex overrideLock;
std::string overridePath;
// The name the intro last asked for while the override was in force.
std::string askedName;

// The override last set; empty when there is none.
std::string ModuleFileOverride() {
    std::lock_guard<std::mutex> guard(overrideLock);
    return overridePath;
}

#ifdef _WIN32
using FileStatus = struct _stat64;
// A name holding any of these is opened as given rather than searched for.
constexpr char kFolderMarks[] = "\\/:";
constexpr char kSeparator = '\\';

std::string ExecutableFolder() {
    char buffer[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, buffer, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return {};
    }
    const std::string path(buffer, length);
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

bool Exists(const std::string& path) {
    FileStatus info{};
    return _stat64(path.c_str(), &info) == 0;
}

int OpenFile(const std::string& path) {
    return _open(path.c_str(), _O_RDONLY | _O_BINARY);
}

int StatusOf(int fd, FileStatus& info) {
    return _fstat64(fd, &info);
}

int ReadSome(int fd, std::uint8_t* out, std::size_t size) {
    return _read(fd, out, static_cast<unsigned>(std::min<std::size_t>(size, 1u << 30)));
}

void CloseFile(int fd) {
    _close(fd);
}
#else
using FileStatus = struct stat;
constexpr char kFolderMarks[] = "/";
constexpr char kSeparator = '/';

std::string ExecutableFolder() {
    char buffer[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length <= 0) {
        return {};
    }
    const std::string path(buffer, static_cast<std::size_t>(length));
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return {};
    }
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

// Something of this name is there (a dangling link counts: it is what the user put there).
bool Exists(const std::string& path) {
    FileStatus info{};
    return lstat(path.c_str(), &info) == 0;
}

int OpenFile(const std::string& path) {
    // Without O_NONBLOCK, opening a FIFO would wait for a writer that may never come.
    return open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
}

int StatusOf(int fd, FileStatus& info) {
    return fstat(fd, &info);
}

ssize_t ReadSome(int fd, std::uint8_t* out, std::size_t size) {
    return read(fd, out, size);
}

void CloseFile(int fd) {
    close(fd);
}
#endif

#ifndef _WIN32
std::string WorkingDirectory() {
    char buffer[PATH_MAX];
    return getcwd(buffer, sizeof buffer) != nullptr ? std::string(buffer) : std::string();
}
#else
std::string WorkingDirectory() {
    char buffer[MAX_PATH];
    const DWORD length = GetCurrentDirectoryA(MAX_PATH, buffer);
    return length > 0 && length < MAX_PATH ? std::string(buffer, length) : std::string();
}
#endif

// "the working directory (/home/a), /usr/share/zarvo and /usr/games": where a bare name is
// looked for, for the message when it is found nowhere.
std::string PlacesSearched() {
    const std::string here = WorkingDirectory();
    std::vector<std::string> seen;
    std::vector<std::string> places;
    for (const std::string& folder : ModuleSearchFolders()) {
        const std::string resolved = folder == "." ? here : folder;
        if (!resolved.empty() && std::find(seen.begin(), seen.end(), resolved) != seen.end()) {
            continue; // e.g. a program started in its own folder
        }
        seen.push_back(resolved);
        if (folder != ".") {
            places.push_back(folder);
        } else {
            places.push_back(here.empty() ? "the working directory"
                                          : "the working directory (" + here + ")");
        }
    }
    std::string text;
    for (std::size_t i = 0; i < places.size(); ++i) {
        text += (i == 0 ? "" : i + 1 == places.size() ? " and " : ", ") + places[i];
    }
    return text;
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (folder.empty() || folder == ".") {
        return name;
    }
    return folder.back() == kSeparator ? folder + name : folder + kSeparator + name;
}

const char* KindOf(unsigned mode) {
    if (S_ISDIR(mode)) {
        return "it is a directory";
    }
    if (S_ISFIFO(mode)) {
        return "it is a named pipe";
    }
    if (S_ISCHR(mode) || S_ISBLK(mode)) {
        return "it is a device";
    }
#ifdef S_ISSOCK
    if (S_ISSOCK(mode)) {
        return "it is a socket";
    }
#endif
    return "it is not a regular file";
}

// Reads on from the file's position until `bytes` holds `size` bytes; at the file's end or a read
// error `bytes` keeps what was read, and a read error gives false (errno set).
bool ReadUpTo(int fd, std::vector<std::uint8_t>& bytes, std::size_t size) {
    std::size_t done = bytes.size();
    bytes.resize(size);
    while (done < size) {
        const auto got = ReadSome(fd, bytes.data() + done, size - done);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            bytes.resize(done);
            return got == 0;
        }
        done += static_cast<std::size_t>(got);
    }
    return true;
}

// Checks the opened file (see the header) and reads it into `bytes`: its head first, for the
// probe, and only then the rest.
bool CheckAndRead(int fd, const std::string& label, std::vector<std::uint8_t>& bytes,
                  std::string& error) {
    FileStatus info{};
    if (StatusOf(fd, info) != 0) {
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
    const auto headSize = static_cast<std::size_t>(
        std::min<std::uint64_t>(size, openmpt::probe_file_header_get_recommended_size()));
    if (!ReadUpTo(fd, bytes, headSize)) {
        error = "Unable to read file " + label + ": " + std::strerror(errno);
        return false;
    }
    const int probe = openmpt::probe_file_header(openmpt::probe_file_header_flags_default2,
                                                 bytes.data(), bytes.size(), size);
    if (probe == openmpt::probe_file_header_result_failure) {
        error = "Invalid module file " + label + ": not a module format libopenmpt knows";
        return false;
    }
    // A read error here reads as the file's end: the parser then sees a truncated module.
    ReadUpTo(fd, bytes, static_cast<std::size_t>(size));
    return true;
}

} // namespace

void SetModuleFileOverride(const std::string& path) {
    std::lock_guard<std::mutex> guard(overrideLock);
    overridePath = path;
}

std::vector<std::string> ModuleSearchFolders() {
    const std::string beside = ExecutableFolder();
    std::vector<std::string> folders{"."};
#ifdef ZARVO_DATA_DIR
    // The installed data folder as it lies from the installed program, when there is one (an
    // install to any prefix finds its own copy), else where the build was set to install it.
    std::string installed = ZARVO_DATA_DIR;
    FileStatus info{};
    if (!beside.empty()) {
        const std::string relative = JoinPath(beside, ZARVO_DATA_DIR_FROM_PROGRAM);
        if (stat(relative.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
            installed = relative;
        }
    }
    folders.push_back(installed);
#endif
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
    if (name.empty() || name.find_first_of(kFolderMarks) != std::string::npos) {
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

std::string ModuleFileLabel(const std::string& name) {
    const std::string forced = ModuleFileOverride();
    if (!forced.empty()) {
        return "'" + forced + "'";
    }
    const std::string path = ResolveModuleFile(name);
    return path == name ? "'" + name + "'" : "'" + name + "' (" + path + ")";
}

std::string ModuleMessageText(const std::string& text) {
    std::string forced;
    std::string asked;
    {
        std::lock_guard<std::mutex> guard(overrideLock);
        forced = overridePath;
        asked = askedName;
    }
    if (forced.empty() || asked.empty() || asked == forced) {
        return text;
    }
    const std::string from = "'" + asked + "'";
    const std::string to = "'" + forced + "'";
    std::string result = text;
    for (std::size_t at = result.find(from); at != std::string::npos;
         at = result.find(from, at + to.size())) {
        result.replace(at, from.size(), to);
    }
    return result;
}

bool ReadModuleFile(const std::string& name, std::vector<std::uint8_t>& bytes, std::string& error) {
    bytes.clear();
    if (name.empty()) {
        error = "Unable to open file: no file name";
        return false;
    }
    int fd = -1;
    try {
        bool forced = false;
        {
            std::lock_guard<std::mutex> guard(overrideLock);
            forced = !overridePath.empty();
            if (forced) {
                askedName = name;
            }
        }
        const std::string path = ResolveModuleFile(name);
        const std::string label = ModuleFileLabel(name);
        fd = OpenFile(path);
        if (fd < 0) {
            const int cause = errno;
            error = "Unable to open file " + label + ": " + std::strerror(cause);
            // A bare name found nowhere: the message says where it was looked for.
            if (cause == ENOENT && !forced && path == name &&
                name.find_first_of(kFolderMarks) == std::string::npos && !Exists(path)) {
                error += "; looked for in " + PlacesSearched();
            }
            return false;
        }
        const bool read = CheckAndRead(fd, label, bytes, error);
        CloseFile(fd);
        fd = -1;
        if (!read) {
            bytes.clear();
        }
        return read;
    } catch (const std::bad_alloc&) {
        if (fd >= 0) {
            CloseFile(fd);
        }
        bytes = {};
        try {
            error = "Unable to read file '" + name + "': not enough memory";
        } catch (const std::bad_alloc&) {
            error.clear();
        }
        return false;
    }
}

} // namespace platform
