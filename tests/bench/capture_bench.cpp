// The capture's throughput: one show frame encoded and written as PNG, and whole captures of
// zarvo-capture (PNG frames and WAV; a 1920x1080 video with the default settings) in multiples of
// real time.
#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/capture/capture_png_encoder.h"
#include "platform/capture/capture_png_writer.h"
#include "raytrace/primary_rays.h"
#include "raytrace/render_frame.h"
#include "raytrace/scene.h"
#include "tests/raytrace/show_states.h"

namespace {

// A fresh folder under /tmp (or another folder), removed with its contents afterwards.
struct Scratch {
    std::string path;
    explicit Scratch(const std::string& under = "/tmp") {
        std::string name = under + "/zarvo-capture-bench-XXXXXX";
        path = mkdtemp(name.data()) != nullptr ? name : "";
    }
    ~Scratch() {
        if (!path.empty()) {
            std::system(("rm -rf '" + path + "'").c_str());
        }
    }
};

// One frame of the main phase.
std::vector<uint32_t> ShowFrame() {
    InitPrimaryRays();
    std::free(scene.lights);
    InitScene();
    show_states::PlaceSphere(1500);
    std::vector<uint32_t> frame(320 * 200);
    RenderFrame(frame.data(), 1280);
    return frame;
}

// That frame encoded in memory: the compression alone, frames per second on one core.
void PngEncode(benchmark::State& state) {
    const std::vector<uint32_t> frame = ShowFrame();
    capture::PngEncoder encoder;
    std::vector<std::uint8_t> png;
    for (auto _ : state) {
        if (!encoder.Encode(frame.data(), 320, 200, 320, png)) {
            state.SkipWithError("encoding failed");
            break;
        }
    }
    state.counters["frames_per_s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["bytes"] = static_cast<double>(png.size());
}

// The same frame written as the capture writes it, file and all. On a file system without a
// journal, creating a file costs more while many were deleted in the last minutes (ext4 looks
// past recently freed inodes), so this one varies with what the machine did before.
void PngFrame(benchmark::State& state) {
    const std::vector<uint32_t> frame = ShowFrame();
    Scratch scratch;
    std::string error;
    for (auto _ : state) {
        if (!capture::WritePng(scratch.path + "/frame.png", frame.data(), 320, 200, 320, error)) {
            state.SkipWithError(error.c_str());
            break;
        }
    }
    state.counters["frames_per_s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

// Processor time of the reaped children and their own children (the capture and its ffmpeg).
double ChildrenCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Runs zarvo-capture from the build folder (where Zarvo.xm is) with these options and reports
// seconds of show per second of real time (`x_real_time`), and, since other work on a shared
// machine slows that down, the same from the processor time it took, as two free cores would
// give it at best (`x_real_time_two_free_cores`).
void Capture(benchmark::State& state, std::vector<std::string> options, double showSeconds,
             const char* under = "/tmp") {
    Scratch scratch(under);
    if (scratch.path.empty()) {
        state.SkipWithError("no scratch folder");
        return;
    }
    for (auto _ : state) {
        std::vector<std::string> args = {
            ZARVO_CAPTURE_PATH, "--quiet",       "--out",
            scratch.path,       "--max-seconds", std::to_string(showSeconds)};
        for (std::string& option : options) {
            const std::size_t at = option.find("@");
            args.push_back(at == std::string::npos ? option : scratch.path + option.substr(at + 1));
        }
        const auto start = std::chrono::steady_clock::now();
        const double cpuBefore = ChildrenCpuSeconds();
        const pid_t pid = fork();
        if (pid == 0) {
            std::vector<char*> argv;
            for (std::string& arg : args) {
                argv.push_back(arg.data());
            }
            argv.push_back(nullptr);
            if (chdir(ZARVO_BUILD_DIR) == 0) {
                execv(argv[0], argv.data());
            }
            _exit(127);
        }
        int status = -1;
        waitpid(pid, &status, 0);
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("zarvo-capture failed");
            break;
        }
        const double cpu = ChildrenCpuSeconds() - cpuBefore;
        state.SetIterationTime(seconds);
        state.counters["x_real_time"] = showSeconds / seconds;
        state.counters["x_real_time_two_free_cores"] = cpu > 0.0 ? showSeconds / (cpu / 2.0) : 0.0;
    }
}

} // namespace

BENCHMARK(PngEncode)->Unit(benchmark::kMicrosecond);
// The default capture: 60 frames a second, every frame as PNG, the sound as WAV.
BENCHMARK_CAPTURE(Capture, PngAndWav, std::vector<std::string>{}, 30.0)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kSecond);
// The same in memory (tmpfs): the program's own speed, whatever the disk's file system does.
BENCHMARK_CAPTURE(Capture, PngAndWavOnTmpfs, std::vector<std::string>{}, 30.0, "/dev/shm")
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(Capture, Video1920x1080,
                  std::vector<std::string>{"--no-frames", "--size", "1920x1080", "--video",
                                           "@/show.mp4"},
                  10.0)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kSecond);

// Last: its file replaced hundreds of times would slow the captures' file creation after it.
BENCHMARK(PngFrame)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
