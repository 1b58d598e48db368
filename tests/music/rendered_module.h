// The built Zarvo.xm, loaded once per test binary, and one pass of it rendered once.
#ifndef ZARVO_TESTS_MUSIC_RENDERED_MODULE_H
#define ZARVO_TESTS_MUSIC_RENDERED_MODULE_H

#include <libopenmpt/libopenmpt.hpp>

#include <cstdint>
#include <string>
#include <vector>

namespace musictest {

constexpr int kRenderRate = 48000;
constexpr double kRowSeconds = 0.05; // speed 3 at BPM 150
constexpr int kSectionRows = 128;    // one caption's worth of sync counts
constexpr double kSectionSeconds = kSectionRows * kRowSeconds;

std::vector<uint8_t> ReadFile(const std::string& path);

// The bytes of the built module.
const std::vector<uint8_t>& ModuleBytes();

// A fresh player for the built module.
openmpt::module LoadModule();

// One pass, interleaved stereo floats at kRenderRate, rendered without looping.
const std::vector<float>& RenderedPass();

// Peak of |sample| and RMS level in dBFS of frames [first, first + count) of a stereo render.
struct Level {
    double peak = 0.0;
    double rmsDb = -200.0;
};
Level MeasureLevel(const std::vector<float>& interleaved, size_t first, size_t count);

} // namespace musictest

#endif
