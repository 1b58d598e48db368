// Rendering one frame: trace the 80 x 50 grid into TracedPixels, then enlarge it to 320 x 200.
#ifndef ZARVO_RAYTRACE_RENDER_FRAME_H
#define ZARVO_RAYTRACE_RENDER_FRAME_H

#include <cstdint>

#include "raytrace/picture_size.h"
#include "raytrace/types.h"

// The packed pixels 0x00RRGGBB of the last traced grid, in the order of PrimaryRays.
extern uint32_t TracedPixels[kGridCells];

// Traces PrimaryRays with TraceRay's picture into TracedPixels and enlarges them into `bits`:
// a buffer of at least 200 rows of 320 pixels, row y at bits + y * pitch bytes, pitch a
// multiple of 4 and at least 1280. Nothing beyond column 319 or row 199 is touched.
void RenderFrame(uint32_t* bits, int32_t pitch);

// Enlarges TracedPixels four times in each direction into `bits` (pitch in pixels) by averaging
// neighbouring cells with masks and shifts. Writes rows 0, 4, ..., 196 in columns 0 ... 315 and
// every other row from 1 to 195 in all 320 columns; all other pixels keep their contents.
void UpscaleFrame(uint32_t* bits, int32_t pitchPixels);

// The straightforward versions, kept as the reference the fast ones are measured against:
// every ray through TraceRay in order, and the two enlargement passes one after the other.
void RenderFrameReference(uint32_t* bits, int32_t pitch);
void UpscaleFrameReference(uint32_t* bits, int32_t pitchPixels);

// The tracing half of a frame alone: PrimaryRays into TracedPixels (fast, and reference).
void TraceFrame();
void TraceFrameReference();

// A colour as a packed pixel: each channel times 255, truncated towards zero. A channel below
// 0 (or a NaN) packs as 0 and one above 1.0 as 255, so no channel spills into its neighbours.
uint32_t PackColor(Color c);

#endif
