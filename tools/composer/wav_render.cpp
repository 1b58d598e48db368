// WAV rendering through libopenmpt.
#include "wav_render.h"

#include <libopenmpt/libopenmpt.hpp>

#include <fstream>
#include <stdexcept>

namespace compose {

namespace {

void PutU16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v & 0xFF));
    out.push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
}

void PutU32(std::vector<uint8_t>& out, uint32_t v) {
    PutU16(out, v & 0xFFFF);
    PutU16(out, v >> 16);
}

void PutTag(std::vector<uint8_t>& out, const char* tag) {
    out.insert(out.end(), tag, tag + 4);
}

} // namespace

bool RenderWav(const std::vector<uint8_t>& module, int rate, const std::string& path,
               std::string& error) {
    std::vector<int16_t> audio;
    try {
        openmpt::module player(module);
        player.set_repeat_count(0);
        std::vector<int16_t> block(2 * 4096);
        for (;;) {
            size_t frames = player.read_interleaved_stereo(rate, 4096, block.data());
            if (frames == 0) {
                break;
            }
            audio.insert(audio.end(), block.begin(), block.begin() + 2 * frames);
        }
    } catch (const std::exception& e) {
        error = std::string("libopenmpt: ") + e.what();
        return false;
    }
    std::vector<uint8_t> wav;
    uint32_t dataBytes = static_cast<uint32_t>(audio.size() * 2);
    PutTag(wav, "RIFF");
    PutU32(wav, 36 + dataBytes);
    PutTag(wav, "WAVE");
    PutTag(wav, "fmt ");
    PutU32(wav, 16);
    PutU16(wav, 1); // PCM
    PutU16(wav, 2); // stereo
    PutU32(wav, static_cast<uint32_t>(rate));
    PutU32(wav, static_cast<uint32_t>(rate) * 4);
    PutU16(wav, 4);
    PutU16(wav, 16);
    PutTag(wav, "data");
    PutU32(wav, dataBytes);
    for (int16_t s : audio) {
        PutU16(wav, static_cast<uint16_t>(s));
    }
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(wav.data()), static_cast<std::streamsize>(wav.size()));
    if (!file) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}

} // namespace compose
