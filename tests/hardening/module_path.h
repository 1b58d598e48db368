// The module path as the programs drive it, for the corpus test and the fuzzer.
//
// ExerciseModulePath hands `bytes` to a ModulePlayer as a file (through the module file's
// opening, as a program loads Zarvo.xm), and when it loads, starts it looping and renders a
// twentieth of a second at each rate the programs use, in their piece sizes: the live program's
// 48 kHz in 512-frame buffers, the capture's 8 to 192 kHz in one video frame's worth at 60 fps.
// The result says what happened; Violation() names a broken contract of the player (a count
// out of range, sound after silence was promised), or is empty.
#ifndef ZARVO_TESTS_HARDENING_MODULE_PATH_H
#define ZARVO_TESTS_HARDENING_MODULE_PATH_H

#include <cstddef>
#include <cstdint>
#include <string>

namespace hardening {

struct PathResult {
    bool loaded = false;
    std::string error; // the load's error text when it did not load
    std::uint64_t musicFrames = 0;
    std::uint64_t syncs = 0; // W commands reported, all rates together
    std::string violation;   // empty when every contract held
};

PathResult ExerciseModulePath(const std::uint8_t* bytes, std::size_t size);

} // namespace hardening

#endif
