// The renderer's speed, straightforward reference against the fast path, on the show's frames:
// tracing, enlargement and the whole frame, and a side-by-side run that reports the ratios.
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "raytrace/frame_constants.h"
#include "raytrace/primary_rays.h"
#include "raytrace/render_frame.h"
#include "raytrace/render_paths.h"
#include "raytrace/scene.h"
#include "tests/raytrace/show_states.h"

namespace {

// 64 states spread over the whole show: sync counts 3 ... 4413, light 1 turned 7 frames apart.
struct ShowState {
    Vector sphereCenter;
    Vector light1;
};

void ResetScene() {
    InitPrimaryRays();
    std::free(scene.lights);
    InitScene();
}

const std::vector<ShowState>& ShowStates() {
    static const std::vector<ShowState> states = [] {
        ResetScene();
        std::vector<ShowState> list;
        for (uint32_t i = 0; i < 64; ++i) {
            show_states::PlaceSphere(3 + 70 * i);
            for (int turn = 0; turn < 7; ++turn) {
                show_states::TurnLight();
            }
            list.push_back({scene.sphereCenter, scene.lights[1].position});
        }
        return list;
    }();
    return states;
}

void Apply(const ShowState& s) {
    scene.sphereCenter = s.sphereCenter;
    scene.lights[1].position = s.light1;
}

void RenderPortable(uint32_t* bits, int32_t pitch) {
    FrameConstants k;
    MakeFrameConstants(k);
    portableRenderPath.trace(k, TracedPixels);
    portableRenderPath.upscale(TracedPixels, bits, pitch >> 2);
}

void TracePortable() {
    FrameConstants k;
    MakeFrameConstants(k);
    portableRenderPath.trace(k, TracedPixels);
}

void UpscalePortable(uint32_t* bits, int32_t pitchPixels) {
    portableRenderPath.upscale(TracedPixels, bits, pitchPixels);
}

// A 320x200 frame on a cache-line boundary, as the program's surfaces are.
struct Surface {
    alignas(64) uint32_t pixels[320 * 200];
    uint32_t* data() {
        return pixels;
    }
};

using Render = void (*)(uint32_t*, int32_t);
using Trace = void (*)();
using Upscale = void (*)(uint32_t*, int32_t);

void Frame(benchmark::State& state, Render render, bool defaultScene) {
    const std::vector<ShowState>& states = ShowStates();
    ResetScene();
    static Surface frame;
    size_t next = 0;
    for (auto _ : state) {
        if (!defaultScene) {
            Apply(states[next]);
            next = (next + 1) % states.size();
        }
        render(frame.data(), 1280);
        benchmark::DoNotOptimize(frame.data());
        benchmark::ClobberMemory();
    }
}

void Tracing(benchmark::State& state, Trace trace) {
    const std::vector<ShowState>& states = ShowStates();
    ResetScene();
    size_t next = 0;
    for (auto _ : state) {
        Apply(states[next]);
        next = (next + 1) % states.size();
        trace();
        benchmark::DoNotOptimize(TracedPixels);
        benchmark::ClobberMemory();
    }
}

void Enlarging(benchmark::State& state, Upscale upscale) {
    ResetScene();
    TraceFrameReference();
    static Surface frame;
    for (auto _ : state) {
        upscale(frame.data(), 320);
        benchmark::DoNotOptimize(frame.data());
        benchmark::ClobberMemory();
    }
}

// Microseconds on the monotonic clock, read without a system call (the vDSO), so that taking
// the time does not itself disturb the caches and branch predictors between frames. A frame
// during which the thread lost the core comes out long and falls outside the median.
double Microseconds() {
    return std::chrono::duration<double, std::micro>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

template <class Work> double Time(Work&& work) {
    const double start = Microseconds();
    work();
    return Microseconds() - start;
}

double Median(std::vector<double>& v) {
    std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
    return v[v.size() / 2];
}

// Both versions over every show state in each iteration, each step timed on its own in processor
// time (less the cost of reading the clock); the counters are medians over the states in
// microseconds, and the ratios reference / fast.
void SideBySide(benchmark::State& state) {
    const std::vector<ShowState>& states = ShowStates();
    ResetScene();
    static Surface frame;
    std::vector<double> samples[7];
    // Each step runs through all states in a row, as frames follow each other in the show.
    auto run = [&](std::vector<double>& out, auto&& work) {
        for (const ShowState& s : states) {
            Apply(s);
            out.push_back(Time(work));
            benchmark::DoNotOptimize(frame.data());
        }
    };
    for (auto _ : state) {
        run(samples[0], [] { TraceFrameReference(); });
        run(samples[1], [&] { UpscaleFrameReference(frame.data(), 320); });
        run(samples[2], [&] { RenderFrameReference(frame.data(), 1280); });
        run(samples[3], [] { TraceFrame(); });
        run(samples[4], [&] { UpscaleFrame(frame.data(), 320); });
        run(samples[5], [&] { RenderFrame(frame.data(), 1280); });
        run(samples[6], [] {});
    }
    const double clock = Median(samples[6]);
    double median[6];
    for (int i = 0; i < 6; ++i) {
        median[i] = Median(samples[i]) - clock;
    }
    const char* names[3] = {"trace", "upscale", "frame"};
    for (int i = 0; i < 3; ++i) {
        const std::string name = names[i];
        state.counters[name + "_ref_us"] = median[i];
        state.counters[name + "_fast_us"] = median[i + 3];
        state.counters[name + "_x"] = median[i] / median[i + 3];
    }
    state.SetLabel(ActiveRenderPath().name);
}

constexpr auto us = benchmark::kMicrosecond;
BENCHMARK_CAPTURE(Frame, Reference / DefaultScene, RenderFrameReference, true)->Unit(us);
BENCHMARK_CAPTURE(Frame, Fast / DefaultScene, RenderFrame, true)->Unit(us);
BENCHMARK_CAPTURE(Frame, Reference / ShowPositions, RenderFrameReference, false)->Unit(us);
BENCHMARK_CAPTURE(Frame, Fast / ShowPositions, RenderFrame, false)->Unit(us);
BENCHMARK_CAPTURE(Frame, Portable / ShowPositions, RenderPortable, false)->Unit(us);
BENCHMARK_CAPTURE(Tracing, Reference, TraceFrameReference)->Unit(us);
BENCHMARK_CAPTURE(Tracing, Fast, TraceFrame)->Unit(us);
BENCHMARK_CAPTURE(Tracing, Portable, TracePortable)->Unit(us);
BENCHMARK_CAPTURE(Enlarging, Reference, UpscaleFrameReference)->Unit(us);
BENCHMARK_CAPTURE(Enlarging, Fast, UpscaleFrame)->Unit(us);
BENCHMARK_CAPTURE(Enlarging, Portable, UpscalePortable)->Unit(us);
BENCHMARK(SideBySide)->Unit(us)->Iterations(20);

} // namespace

BENCHMARK_MAIN();
