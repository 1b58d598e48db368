// The module path driven as the programs drive it: a file, Load, Start, Render at their rates.
#include "module_path.h"

#include "module_player.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <vector>

namespace hardening {

namespace {

struct Rate {
    int sampleRate;
    std::size_t piece;
};

// The live program's device, then the capture's lowest, default and highest rates at 60 fps.
constexpr Rate kRates[] = {{48000, 512}, {8000, 133}, {44100, 735}, {192000, 3200}};

// One file in memory, rewritten for every input; its /proc path is a regular file to open.
const std::string& InputPath(int& fd) {
    static int memory = memfd_create("zarvo-module-input", MFD_CLOEXEC);
    static const std::string path = "/proc/self/fd/" + std::to_string(memory);
    fd = memory;
    return path;
}

bool WriteInput(const std::uint8_t* bytes, std::size_t size, std::string& path) {
    int fd = -1;
    path = InputPath(fd);
    if (fd < 0 || ftruncate(fd, 0) != 0) {
        return false;
    }
    std::size_t done = 0;
    while (done < size) {
        const ssize_t wrote = pwrite(fd, bytes + done, size - done, static_cast<off_t>(done));
        if (wrote <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(wrote);
    }
    return true;
}

void CountSync(void* user, unsigned /*info*/, unsigned /*order*/, unsigned /*row*/) {
    ++*static_cast<std::uint64_t*>(user);
}

} // namespace

PathResult ExerciseModulePath(const std::uint8_t* bytes, std::size_t size) {
    PathResult result;
    std::string path;
    if (!WriteInput(bytes, size, path)) {
        result.violation = "the input could not be written to memory";
        return result;
    }
    platform::ModulePlayer player;
    result.loaded = player.Load(path.c_str(), result.error);
    if (!result.loaded) {
        if (result.error.find(path) == std::string::npos) {
            result.violation = "the load error does not name the file: " + result.error;
        }
        return result;
    }
    player.SetSyncSink(CountSync, &result.syncs);
    std::vector<std::int16_t> buffer;
    for (const Rate& rate : kRates) {
        player.Start(true);
        buffer.assign(rate.piece * 2, 1);
        bool silent = false;
        for (std::size_t done = 0; done < static_cast<std::size_t>(rate.sampleRate / 20);
             done += rate.piece) {
            const std::size_t music = player.Render(buffer.data(), rate.piece, rate.sampleRate);
            if (music > rate.piece) {
                result.violation = "more music frames than asked for";
                return result;
            }
            const bool tailSilent =
                std::all_of(buffer.begin() + static_cast<std::ptrdiff_t>(music * 2), buffer.end(),
                            [](std::int16_t sample) { return sample == 0; });
            if (!tailSilent) {
                result.violation = "the frames after the music are not silent";
                return result;
            }
            if (silent && music > 0) {
                result.violation = "music after the song had ended";
                return result;
            }
            silent = silent || music < rate.piece;
            result.musicFrames += music;
        }
    }
    player.Stop();
    if (player.Render(buffer.data(), 16, 48000) != 0) {
        result.violation = "music after Stop";
    }
    return result;
}

} // namespace hardening
