// The frame log: the time and the light's turns of every picture, and the paces taken.
#include "sdl_frame_log.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace sdl {

struct FrameLog {
    std::FILE* file = nullptr;
    std::uint32_t (*turns)() = nullptr;
};

static FrameLog frameLog;

void OpenFrameLog(std::uint32_t (*turns)()) {
    const char* path = std::getenv("ZARVO_FRAME_LOG");
    if (path == nullptr || path[0] == '\0' || frameLog.file != nullptr) {
        return;
    }
    frameLog.file = std::fopen(path, "w");
    if (frameLog.file == nullptr) {
        std::fprintf(stderr, "zarvo: the frame log '%s' cannot be written\n", path);
        return;
    }
    frameLog.turns = turns;
}

void LogPace(const std::string& plan) {
    if (frameLog.file != nullptr) {
        std::fprintf(frameLog.file, "# pace: %s\n", plan.c_str());
        std::fflush(frameLog.file);
    }
}

void LogFrame() {
    if (frameLog.file == nullptr) {
        return;
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
    const unsigned turns = frameLog.turns != nullptr ? frameLog.turns() : 0;
    std::fprintf(frameLog.file, "%.6f %u\n", seconds, turns);
    std::fflush(frameLog.file);
}

void CloseFrameLog() {
    if (frameLog.file != nullptr) {
        std::fclose(frameLog.file);
    }
    frameLog = FrameLog{};
}

} // namespace sdl
