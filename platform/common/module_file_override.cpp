// The module file named on the command line (--module), which every later load reads in place of
// the name the intro gives; shared by the POSIX and the Windows module file.
#include "module_file.h"

#include <mutex>

namespace platform {

namespace {

std::mutex overrideLock;
std::string overridePath;

} // namespace

void SetModuleFileOverride(const std::string& path) {
    std::lock_guard<std::mutex> guard(overrideLock);
    overridePath = path;
}

std::string ModuleFileOverride() {
    std::lock_guard<std::mutex> guard(overrideLock);
    return overridePath;
}

} // namespace platform
