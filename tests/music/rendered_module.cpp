// The built Zarvo.xm and its rendering, shared by the music tests of one binary.
#include "rendered_module.h"

#include <cmath>
#include <fstream>
#include <iterator>

namespace musictest {

std::vector<uint8_t> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in),
                                std::istreambuf_iterator<char>());
}

const std::vector<uint8_t>& ModuleBytes() {
    static const std::vector<uint8_t> bytes = ReadFile(ZARVO_MODULE_PATH);
    return bytes;
}

openmpt::module LoadModule() {
    return openmpt::module(ModuleBytes());
}

const std::vector<float>& RenderedPass() {
    static const std::vector<float> audio = [] {
        std::vector<float> out;
        openmpt::module player = LoadModule();
        player.set_repeat_count(0);
        std::vector<float> block(2 * 8192);
        for (;;) {
            size_t frames = player.read_interleaved_stereo(kRenderRate, 8192, block.data());
            if (frames == 0) {
                break;
            }
            out.insert(out.end(), block.begin(), block.begin() + 2 * frames);
        }
        return out;
    }();
    return audio;
}

Level MeasureLevel(const std::vector<float>& interleaved, size_t first, size_t count) {
    Level level;
    double sum = 0.0;
    size_t samples = 0;
    for (size_t i = 2 * first; i < 2 * (first + count) && i < interleaved.size(); ++i) {
        double v = interleaved[i];
        level.peak = std::max(level.peak, std::fabs(v));
        sum += v * v;
        ++samples;
    }
    if (samples > 0 && sum > 0.0) {
        level.rmsDb = 10.0 * std::log10(sum / static_cast<double>(samples));
    }
    return level;
}

} // namespace musictest
