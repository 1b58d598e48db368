// Time per frame of the renderer on the default scene and on sphere positions of the show.
#include <cstdlib>
#include <vector>

#include <benchmark/benchmark.h>

#include "raytrace/primary_rays.h"
#include "raytrace/render_frame.h"
#include "raytrace/scene.h"
#include "tests/raytrace/show_states.h"

namespace {

// 64 states spread over the whole show: sync counts 3 ... 4413, light 1 turned 7 frames apart.
struct ShowState {
    Vector sphereCenter;
    Vector light1;
};

std::vector<ShowState> MakeShowStates() {
    InitScene();
    std::vector<ShowState> states;
    for (uint32_t i = 0; i < 64; ++i) {
        show_states::PlaceSphere(3 + 70 * i);
        for (int turn = 0; turn < 7; ++turn) {
            show_states::TurnLight();
        }
        states.push_back({scene.sphereCenter, scene.lights[1].position});
    }
    std::free(scene.lights);
    scene.lights = nullptr;
    return states;
}

void Prepare() {
    InitPrimaryRays();
    std::free(scene.lights);
    InitScene();
}

template <void (*Render)(uint32_t*, int32_t)> void BM_DefaultScene(benchmark::State& state) {
    Prepare();
    std::vector<uint32_t> frame(320 * 200);
    for (auto _ : state) {
        Render(frame.data(), 1280);
        benchmark::DoNotOptimize(frame.data());
        benchmark::ClobberMemory();
    }
}

template <void (*Render)(uint32_t*, int32_t)> void BM_ShowPositions(benchmark::State& state) {
    const std::vector<ShowState> states = MakeShowStates();
    Prepare();
    std::vector<uint32_t> frame(320 * 200);
    size_t next = 0;
    for (auto _ : state) {
        scene.sphereCenter = states[next].sphereCenter;
        scene.lights[1].position = states[next].light1;
        next = (next + 1) % states.size();
        Render(frame.data(), 1280);
        benchmark::DoNotOptimize(frame.data());
        benchmark::ClobberMemory();
    }
}

BENCHMARK(BM_DefaultScene<RenderFrameReference>)
    ->Name("Frame/Reference/DefaultScene")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ShowPositions<RenderFrameReference>)
    ->Name("Frame/Reference/ShowPositions")
    ->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
