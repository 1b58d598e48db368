// The fast renderer's implementations, one per instruction set, and the choice among them.
#ifndef ZARVO_RAYTRACE_RENDER_PATHS_H
#define ZARVO_RAYTRACE_RENDER_PATHS_H

#include <cstdint>

#include "raytrace/frame_constants.h"

// One way to render: `trace` fills `pixels` (4000 packed cells) from the primary packets and
// returns how many rays it handed to the exact tracer; `upscale` enlarges `cells` into `bits`
// exactly as UpscaleFrameReference does, one surface row band after the other.
struct RenderPath {
    const char* name;
    int (*trace)(const FrameConstants& k, uint32_t* pixels);
    void (*upscale)(const uint32_t* cells, uint32_t* bits, int32_t pitchPixels);
};

// Plain C++, for any processor.
extern const RenderPath portableRenderPath;

// AVX2 and FMA (fast_avx2.cpp); present only in x86-64 builds, and used only where
// SimdRenderPath finds the processor supports it.
extern const RenderPath avx2RenderPath;

// The AVX2 and FMA path when this build has one and the processor (and system) supports it;
// null otherwise.
const RenderPath* SimdRenderPath();

// The path RenderFrame uses: the SIMD one when there is one, else the portable one. Chosen at
// the first call.
const RenderPath& ActiveRenderPath();

#endif
