// The study's access to the show's globals: scene, sync count, the traced grid, ShowFrame.
#include "study_show.h"

#include "app/app_state.h"

#include <ddraw.h>
#include "raytrace/picture_size.h"
#include "raytrace/render_frame.h"
#include "raytrace/scene.h"
#include "show/show_frame.h"

#include <algorithm>
#include <atomic>

namespace platform {

static_assert(kStudyGridColumns == kGridColumns && kStudyGridRows == kGridRows,
              "the study shows the renderer's grid");

static void PutScene(const StudyShowState& state) {
    scene.sphereCenter = {state.sphere.x, state.sphere.y, state.sphere.z};
    scene.ambient = {state.ambient.r, state.ambient.g, state.ambient.b};
    for (int i = 0; i < 2; ++i) {
        const StudyRgb& c = state.lightColor[i];
        scene.lights[i].color = {c.r, c.g, c.b};
    }
    scene.lights[1].position = {state.light1.x, state.light1.y, state.light1.z};
}

void SetShowState(const StudyShowState& state, std::uint32_t clock) {
    if (ShowSceneReady()) {
        PutScene(state);
    }
    appState.syncCount.store(clock, std::memory_order_relaxed);
}

void SetShowClock(std::uint32_t clock) {
    appState.syncCount.store(clock, std::memory_order_relaxed);
}

StudyShowState ReadShowState() {
    StudyShowState state;
    if (!ShowSceneReady()) {
        return state;
    }
    state.sphere = {scene.sphereCenter.x, scene.sphereCenter.y, scene.sphereCenter.z};
    state.ambient = {scene.ambient.r, scene.ambient.g, scene.ambient.b};
    for (int i = 0; i < 2; ++i) {
        const Color& c = scene.lights[i].color;
        state.lightColor[i] = {c.r, c.g, c.b};
    }
    const Vector& p = scene.lights[1].position;
    state.light1 = {p.x, p.y, p.z};
    return state;
}

void ClearPicture() {
    if (appState.backSurface == nullptr) {
        return;
    }
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof(desc);
    if (appState.backSurface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr) != DD_OK) {
        return;
    }
    auto* bits = static_cast<unsigned char*>(desc.lpSurface);
    for (DWORD y = 0; y < desc.dwHeight; ++y) {
        std::fill(bits + y * desc.lPitch, bits + y * desc.lPitch + desc.dwWidth * 4, 0);
    }
    appState.backSurface->Unlock(nullptr);
}

bool RunShowFrame() {
    return ShowFrame() != 0;
}

const std::uint32_t* TracedGrid() {
    return TracedPixels;
}

void TraceReference(const StudyShowState& state, std::uint32_t* picture) {
    if (!ShowSceneReady()) {
        return;
    }
    const Scene saved = scene;
    Light lights[2] = {scene.lights[0], scene.lights[1]};
    std::uint32_t grid[kGridCells];
    std::copy(TracedPixels, TracedPixels + kGridCells, grid);
    PutScene(state);
    RenderFrameReference(picture, 320 * 4);
    std::copy(grid, grid + kGridCells, TracedPixels);
    scene = saved;
    scene.lights[0] = lights[0];
    scene.lights[1] = lights[1];
}

bool ShowSceneReady() {
    return scene.lights != nullptr && scene.lightCount >= 2;
}

std::uint32_t ShowClock() {
    return appState.syncCount.load(std::memory_order_relaxed);
}

} // namespace platform
