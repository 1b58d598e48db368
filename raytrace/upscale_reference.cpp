// The straightforward fourfold enlargement: pass 1 across the grid rows, then pass 2 down.
#include "raytrace/primary_rays.h"
#include "raytrace/render_frame.h"
#include "raytrace/upscale_steps.h"

void UpscaleFrameReference(uint32_t* bits, int32_t pitchPixels) {
    // Pass 1: surface rows 0, 4, ..., 196, pixels 0 ... 315; the last grid column only ever
    // enters as the right neighbour, so pixels 316 ... 319 of these rows are left as they are.
    for (int i = 0; i < kGridRows; ++i) {
        uint32_t* row = bits + static_cast<intptr_t>(4 * i) * pitchPixels;
        const uint32_t* cells = TracedPixels + i * kGridColumns;
        for (int j = 0; j < kGridColumns - 1; ++j) {
            const uint32_t a = cells[j];
            const uint32_t b = cells[j + 1];
            row[4 * j] = a;
            row[4 * j + 1] = Half(a) + Quarter(a) + Quarter(b);
            row[4 * j + 2] = Half(a) + Half(b);
            row[4 * j + 3] = Quarter(a) + Quarter(b) + Half(b);
        }
    }
    // Pass 2: the three rows between two pass-1 rows, all 320 columns, row after row.
    for (int k = 0; k < kGridRows - 1; ++k) {
        const uint32_t* top = bits + static_cast<intptr_t>(4 * k) * pitchPixels;
        const uint32_t* bottom = top + 4 * static_cast<intptr_t>(pitchPixels);
        uint32_t* row1 = bits + static_cast<intptr_t>(4 * k + 1) * pitchPixels;
        uint32_t* row2 = row1 + pitchPixels;
        uint32_t* row3 = row2 + pitchPixels;
        for (int x = 0; x < kPictureWidth; ++x) {
            row1[x] = Quarter(top[x]) + Quarter(bottom[x]) + Half(top[x]);
        }
        for (int x = 0; x < kPictureWidth; ++x) {
            row2[x] = Half(top[x]) + Half(bottom[x]);
        }
        for (int x = 0; x < kPictureWidth; ++x) {
            row3[x] = Quarter(top[x]) + Quarter(bottom[x]) + Half(bottom[x]);
        }
    }
}
