// The fast renderer's implementations, one per instruction set, and the choice among them.
//
// How a frame is rendered fast (RenderFrame, render_frame.cpp):
//   1. MakeFrameConstants (frame_constants.h) reads the scene once: the sphere's and the
//      floor's colours times the ambient, each light's terms as the sphere and as the floor's two
//      planes see them, and the cones around the sphere and its mirror image. The floor geometry
//      (floor_geometry.h: where each primary ray meets the floor, its mirror ray) is kept and only
//      worked out again when the plane or the rays change. A scene the packet tracer is not
//      built for is traced by TraceRay instead, ray by ray.
//   2. The path's `trace` (trace_packets.h, instantiated in fast_portable.cpp and fast_avx2.cpp)
//      takes the grid eight rays at a time: packets whose lines pass the sphere by a clear margin
//      skip the sphere test, sky packets are black, packets of floor alone are shaded in one run,
//      and the rest go through TracePacket. Lanes whose hit or miss single precision cannot
//      decide (a ray grazing the sphere) are traced again by TraceRay.
//   3. The path's `upscale` enlarges the cells four times with the same byte averages as
//      UpscaleFrameReference, row band by row band.
// What is exact and what is not: every decision (sphere or floor, lit or not, mirror hit or far
// point) is TraceRay's, and the enlargement is bit for bit the reference's. The colours are
// computed in single precision instead of double, so a channel may come out one step (1/255)
// away from TraceRay's where its value lies close to a step's edge; never more.
// Where it is checked: tests/raytrace/fast_render_test.cpp compares every render path this
// processor runs with the reference over the show's frames (at most one step per channel, and few
// such cells), grazing rays stepped across the tangent one float at a time, scenes away from the
// show, and the enlargement from every pitch and start address; tests/bench/render_bench.cpp
// measures reference against fast (`zarvo_render_bench`, README's benchmark section).
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
