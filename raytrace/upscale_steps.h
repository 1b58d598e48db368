// Steps of the fourfold enlargement that its paths share: channel quarters and halves of a pixel,
// and the order in which a path writes its widened rows and the bands between them.
//
// Everything here is static, so each file gets its own copy: fast_avx2.cpp is compiled with AVX2
// and FMA, and a shared (inline) copy built there could stand in for the portable one at link
// time and fault on a processor without them. That file keeps vector quarters and halves of its
// own (on eight pixels at once) for the same reason.
#ifndef ZARVO_RAYTRACE_UPSCALE_STEPS_H
#define ZARVO_RAYTRACE_UPSCALE_STEPS_H

#include <cstdint>

#include "raytrace/picture_size.h"

// Each channel divided by 4 or by 2, rounded down; sums of these never carry between channels.
static constexpr uint32_t Quarter(uint32_t v) {
    return (v & 0xFCFCFCu) >> 2;
}

static constexpr uint32_t Half(uint32_t v) {
    return (v & 0xFEFEFEu) >> 1;
}

// Surface row 4i from grid row i (WidenRow: pixels 0 ... 315), then the three rows between it and
// row 4i - 4 (FillBand: all 320 columns). A band reads only the two finished rows around it, so
// it may follow right after the lower one, while both are still in the cache.
template <void (*WidenRow)(const uint32_t* cells, uint32_t* row),
          void (*FillBand)(const uint32_t* top, const uint32_t* bottom, uint32_t* row1,
                           uint32_t* row2, uint32_t* row3)>
static void UpscaleInBands(const uint32_t* cells, uint32_t* bits, int32_t pitchPixels) {
    const intptr_t pitch = pitchPixels;
    WidenRow(cells, bits);
    for (int i = 1; i < kGridRows; ++i) {
        uint32_t* top = bits + (4 * i - 4) * pitch;
        WidenRow(cells + kGridColumns * i, top + 4 * pitch);
        FillBand(top, top + 4 * pitch, top + pitch, top + 2 * pitch, top + 3 * pitch);
    }
}

#endif
