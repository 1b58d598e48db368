// Frame rendering: the public entry the intro calls, and the straightforward reference.
#include "raytrace/render_frame.h"

#include "raytrace/frame_constants.h"
#include "raytrace/primary_rays.h"
#include "raytrace/render_paths.h"
#include "raytrace/trace_ray.h"

uint32_t TracedPixels[kGridCells];

static uint32_t PackChannel(float value) {
    const double scaled = 255.0 * value;
    if (!(scaled > 0.0)) {
        return 0;
    }
    if (scaled >= 255.0) {
        return 255;
    }
    return static_cast<uint32_t>(scaled);
}

uint32_t PackColor(Color c) {
    return (PackChannel(c.r) << 16) + (PackChannel(c.g) << 8) + PackChannel(c.b);
}

void TraceFrameReference() {
    for (int i = 0; i < kGridCells; ++i) {
        TracedPixels[i] = PackColor(TraceRay(PrimaryRays[i], 0));
    }
}

void RenderFrameReference(uint32_t* bits, int32_t pitch) {
    TraceFrameReference();
    UpscaleFrameReference(bits, pitch >> 2);
}

const RenderPath& ActiveRenderPath() {
    static const RenderPath* const path =
        SimdRenderPath() != nullptr ? SimdRenderPath() : &portableRenderPath;
    return *path;
}

// A scene outside what the packet tracer is built for is traced exactly, ray by ray.
void TraceFrame() {
    FrameConstants k;
    if (MakeFrameConstants(k) == 0) {
        TraceFrameReference();
        return;
    }
    ActiveRenderPath().trace(k, TracedPixels);
}

void RenderFrame(uint32_t* bits, int32_t pitch) {
    TraceFrame();
    UpscaleFrame(bits, pitch >> 2);
}

void UpscaleFrame(uint32_t* bits, int32_t pitchPixels) {
    ActiveRenderPath().upscale(TracedPixels, bits, pitchPixels);
}
