// The renderer's speed, straightforward reference against the fast path, on the show's frames:
// tracing, enlargement and the whole frame, and a side-by-side run that reports the ratios.
#include <algorithm>
#include <chrono>
#include <cstdlib>
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

using Render = void (*)(uint32_t*, int32_t);
using Trace = void (*)();
using Upscale = void (*)(uint32_t*, int32_t);

void Frame(benchmark::State& state, Render render, bool defaultScene) {
    const std::vector<ShowState>& states = ShowStates();
    ResetScene();
    std::vector<uint32_t> frame(320 * 200);
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
    std::vector<uint32_t> frame(320 * 200);
    for (auto _ : state) {
        upscale(frame.data(), 320);
        benchmark::DoNotOptimize(frame.data());
        benchmark::ClobberMemory();
    }
}

// Both versions over every show state in each iteration, each step timed on its own; the
// counters are medians in microseconds and the ratios reference / fast.
void SideBySide(benchmark::State& state) {
    const std::vector<ShowState>& states = ShowStates();
    ResetScene();
    std::vector<uint32_t> frame(320 * 200);
    std::vector<double> samples[6];
    using Clock = std::chrono::steady_clock;
    auto time = [](auto&& work) {
        const Clock::time_point start = Clock::now();
        work();
        return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
    };
    for (auto _ : state) {
        for (const ShowState& s : states) {
            Apply(s);
            samples[0].push_back(time([] { TraceFrameReference(); }));
            samples[1].push_back(time([&] { UpscaleFrameReference(frame.data(), 320); }));
            samples[2].push_back(time([&] { RenderFrameReference(frame.data(), 1280); }));
            samples[3].push_back(time([] { TraceFrame(); }));
            samples[4].push_back(time([&] { UpscaleFrame(frame.data(), 320); }));
            samples[5].push_back(time([&] { RenderFrame(frame.data(), 1280); }));
            benchmark::DoNotOptimize(frame.data());
        }
    }
    double median[6];
    for (int i = 0; i < 6; ++i) {
        std::vector<double>& v = samples[i];
        std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
        median[i] = v[v.size() / 2];
    }
    state.counters["trace_ref_us"] = median[0];
    state.counters["trace_fast_us"] = median[3];
    state.counters["trace_x"] = median[0] / median[3];
    state.counters["upscale_ref_us"] = median[1];
    state.counters["upscale_fast_us"] = median[4];
    state.counters["upscale_x"] = median[1] / median[4];
    state.counters["frame_ref_us"] = median[2];
    state.counters["frame_fast_us"] = median[5];
    state.counters["frame_x"] = median[2] / median[5];
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
