// libFuzzer target: any bytes as the module file, through load, start and rendering at every rate.
#include "module_path.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const hardening::PathResult result = hardening::ExerciseModulePath(data, size);
    if (!result.violation.empty()) {
        std::fprintf(stderr, "module path: %s\n", result.violation.c_str());
        std::abort();
    }
    return 0;
}
