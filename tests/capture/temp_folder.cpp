// Fresh folders under /tmp for the capture's tests: made with mkdtemp, removed with rm -rf.
#include "temp_folder.h"

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace capturetest {

TempFolder::TempFolder() {
    char folder[] = "/tmp/zarvo-capture-test-XXXXXX";
    if (mkdtemp(folder) != nullptr) {
        path_ = folder;
    }
}

TempFolder::~TempFolder() {
    if (!path_.empty()) {
        const std::string command = "rm -rf '" + path_ + "'";
        if (std::system(command.c_str()) != 0) {
            std::fprintf(stderr, "could not remove %s\n", path_.c_str());
        }
    }
}

} // namespace capturetest
