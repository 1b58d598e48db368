// zarvo-compose: builds an XM module from a song description, and can render it to WAV.
//
//   zarvo-compose SONG OUT.xm [--wav OUT.wav] [--rate HZ]
//
// Exit code 0 on success, 1 on a mistake in the song or a file that cannot be read or written.
#include "compose.h"
#include "wav_render.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace {

int Usage() {
    std::fprintf(stderr, "usage: zarvo-compose SONG OUT.xm [--wav OUT.wav] [--rate HZ]\n");
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        return Usage();
    }
    std::string songPath = argv[1];
    std::string xmPath = argv[2];
    std::string wavPath;
    int rate = 48000;
    for (int i = 3; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--wav" && i + 1 < argc) {
            wavPath = argv[++i];
        } else if (arg == "--rate" && i + 1 < argc) {
            rate = std::atoi(argv[++i]);
            if (rate < 8000 || rate > 192000) {
                return Usage();
            }
        } else {
            return Usage();
        }
    }
    std::ifstream in(songPath, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "zarvo-compose: cannot read %s\n", songPath.c_str());
        return 1;
    }
    std::ostringstream text;
    text << in.rdbuf();
    std::vector<uint8_t> module;
    try {
        module = compose::ComposeModule(text.str(), songPath);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "zarvo-compose: %s\n", e.what());
        return 1;
    }
    // Written to a side file first, so an interrupted build never leaves half a module.
    std::string partial = xmPath + ".part";
    {
        std::ofstream out(partial, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(module.data()),
                  static_cast<std::streamsize>(module.size()));
        if (!out) {
            std::fprintf(stderr, "zarvo-compose: cannot write %s\n", partial.c_str());
            return 1;
        }
    }
    if (std::rename(partial.c_str(), xmPath.c_str()) != 0) {
        std::fprintf(stderr, "zarvo-compose: cannot write %s\n", xmPath.c_str());
        return 1;
    }
    if (!wavPath.empty()) {
        std::string error;
        if (!compose::RenderWav(module, rate, wavPath, error)) {
            std::fprintf(stderr, "zarvo-compose: %s\n", error.c_str());
            return 1;
        }
    }
    return 0;
}
