// The output folder's checks, the files made afresh in it, and the removal of old frames.
#include "capture_output_folder.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
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

bool IsFrameFileName(const char* name) {
    std::size_t digits = 0;
    while (name[digits] >= '0' && name[digits] <= '9') {
        ++digits;
    }
    return digits >= 6 && (std::strcmp(name + digits, ".png") == 0 ||
                           std::strcmp(name + digits, ".png.part") == 0);
}

static constexpr const char* kOwnFolderOnly =
    "; the capture writes and removes files only in a folder of its own";

// Opens the folder `name` in `parent` without following a link, and checks that it is this
// user's. With `create` a missing one is made first; without, a missing one, or a file that is
// neither a folder nor a link, gives fd -1 and true.
static bool OpenOwnFolder(int parent, const std::string& name, const std::string& shown,
                          bool create, int& fd, std::string& error) {
    fd = -1;
    if (create && mkdirat(parent, name.c_str(), 0755) != 0 && errno != EEXIST) {
        error = "cannot create the folder '" + shown + "': " + std::strerror(errno);
        return false;
    }
    struct stat info {};
    if (fstatat(parent, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
        if (errno == ENOENT && !create) {
            return true;
        }
        error = "cannot open the folder '" + shown + "': " + std::strerror(errno);
        return false;
    }
    if (S_ISLNK(info.st_mode)) {
        error = "'" + shown + "' is a symbolic link" + kOwnFolderOnly + ", not through a link";
        return false;
    }
    if (!S_ISDIR(info.st_mode)) {
        if (!create) {
            return true; // a file of that name holds no frames to remove, and none are written
        }
        error = "'" + shown + "' is not a folder";
        return false;
    }
    fd = openat(parent, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0 || fstat(fd, &info) != 0) {
        error = "cannot open the folder '" + shown + "': " + std::strerror(errno);
        if (fd >= 0) {
            close(fd);
            fd = -1;
        }
        return false;
    }
    if (info.st_uid != geteuid()) {
        error = "'" + shown + "' belongs to another user (uid " + std::to_string(info.st_uid) +
                ")" + kOwnFolderOnly;
        close(fd);
        fd = -1;
        return false;
    }
    return true;
}

OutputFolder::~OutputFolder() {
    Close();
}

bool OutputFolder::Open(const std::string& path, bool frames, std::string& error) {
    Close();
    // "out/" names the folder "out": a trailing slash would make the open follow a link.
    std::string name = path;
    while (name.size() > 1 && name.back() == '/') {
        name.pop_back();
    }
    path_ = name;
    struct stat info {};
    // A link is refused before anything is made along it.
    const bool link = lstat(name.c_str(), &info) == 0 && S_ISLNK(info.st_mode);
    if (!link && !MakeFolders(name, error)) {
        return false;
    }
    // Made above, so a missing folder is one removed again since: created here once more.
    if (!OpenOwnFolder(AT_FDCWD, name, name, true, fd_, error) ||
        !OpenOwnFolder(fd_, "frames", FramesPath(), frames, framesFd_, error)) {
        Close();
        return false;
    }
    return true;
}

void OutputFolder::RemoveOldFrames() {
    if (framesFd_ < 0) {
        return;
    }
    const int listing = dup(framesFd_);
    DIR* dir = listing >= 0 ? fdopendir(listing) : nullptr;
    if (dir == nullptr) {
        if (listing >= 0) {
            close(listing);
        }
        return;
    }
    while (const dirent* entry = readdir(dir)) {
        if (IsFrameFileName(entry->d_name)) {
            unlinkat(framesFd_, entry->d_name, 0);
        }
    }
    closedir(dir);
}

void OutputFolder::Close() {
    if (framesFd_ >= 0) {
        close(framesFd_);
        framesFd_ = -1;
    }
    if (fd_ >= 0) {
        close(fd_);
        fd_ = -1;
    }
}

int CreateFresh(int folder, const std::string& name, const std::string& shown, std::string& error) {
    if (unlinkat(folder, name.c_str(), 0) != 0 && errno != ENOENT) {
        error = "cannot replace '" + shown + "': " + std::strerror(errno);
        return -1;
    }
    // O_EXCL: should anything take the name again in between, the creation fails rather than
    // follow it.
    const int fd =
        openat(folder, name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0) {
        error = "cannot create '" + shown + "': " + std::strerror(errno);
    }
    return fd;
}

} // namespace capture
