// The module file's opening on Windows: the working directory, then the program's own folder; a
// size limit and a regular-file check before anything is read.
//
// A module is at most kModuleFileLimit bytes, so it is read whole into memory once checked; the
// file's size is taken when it is opened and never read past, so a file growing meanwhile cannot
// grow memory. Windows has no FIFO that a plain open would block on.
#include "module_file.h"

#include <windows.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>
#include <sstream>
#include <sys/stat.h>

namespace platform {

namespace {

std::string ProgramFolder() {
    char buffer[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, buffer, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return std::string();
    }
    std::string path(buffer, length);
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

bool Exists(const std::string& path) {
    struct _stat64 info {};
    return _stat64(path.c_str(), &info) == 0;
}

} // namespace

struct ModuleFile::Reader {
    std::string bytes;
    std::istringstream stream;
};

std::vector<std::string> ModuleSearchFolders() {
    std::vector<std::string> folders{"."};
    const std::string beside = ProgramFolder();
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
    if (name.empty() || name.find_first_of("\\/:") != std::string::npos) {
        return name;
    }
    for (const std::string& folder : ModuleSearchFolders()) {
        const std::string path = folder + "\\" + name;
        if (Exists(path)) {
            return path;
        }
    }
    return name;
}

ModuleFile::ModuleFile() = default;
ModuleFile::~ModuleFile() = default;

bool ModuleFile::Open(const std::string& name, std::string& error) {
    reader_.reset();
    stream_.reset();
    try {
        const std::string path = ResolveModuleFile(name);
        const std::string label = path == name ? "'" + name + "'" : "'" + name + "' (" + path + ")";
        std::FILE* file = std::fopen(path.c_str(), "rb");
        if (file == nullptr) {
            error = "Unable to open file " + label + ": " + std::strerror(errno);
            return false;
        }
        struct _stat64 info {};
        std::string reason;
        if (_fstat64(_fileno(file), &info) != 0) {
            reason = std::strerror(errno);
        } else if ((info.st_mode & _S_IFMT) != _S_IFREG) {
            reason = "not a regular file";
        } else if (info.st_size <= 0) {
            reason = "the file is empty";
        } else if (static_cast<std::uint64_t>(info.st_size) > kModuleFileLimit) {
            reason = std::to_string(info.st_size) + " bytes is larger than any module";
        }
        auto reader = std::make_unique<Reader>();
        if (reason.empty()) {
            reader->bytes.resize(static_cast<std::size_t>(info.st_size));
            reader->bytes.resize(std::fread(&reader->bytes[0], 1, reader->bytes.size(), file));
        }
        std::fclose(file);
        if (!reason.empty()) {
            error = "Invalid module file " + label + ": " + reason;
            return false;
        }
        reader->stream.str(reader->bytes);
        reader_ = std::move(reader);
        return true;
    } catch (const std::bad_alloc&) {
        reader_.reset();
        error = "Unable to read file '" + name + "': not enough memory";
        return false;
    }
}

std::istream& ModuleFile::Stream() {
    return reader_->stream;
}

std::uint64_t ModuleFile::Size() const {
    return reader_ ? reader_->bytes.size() : 0;
}

} // namespace platform
