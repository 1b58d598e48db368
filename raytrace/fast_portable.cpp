// The portable render path: the packet tracer on plain arrays and a row-fused enlargement.
#include "raytrace/lanes_portable.h"
#include "raytrace/render_paths.h"
#include "raytrace/trace_packets.h"
#include "raytrace/upscale_steps.h"

static int TracePortable(const FrameConstants& k, uint32_t* pixels) {
    return packet_tracer::TraceGrid<lanes_portable::Floats, lanes_portable::Mask>(k, pixels);
}

// Surface row 4i from grid row i: pixels 0 ... 315 (see UpscaleFrameReference).
static void WidenRow(const uint32_t* cells, uint32_t* row) {
    for (int j = 0; j < 79; ++j) {
        const uint32_t a = cells[j];
        const uint32_t b = cells[j + 1];
        row[4 * j] = a;
        row[4 * j + 1] = Half(a) + Quarter(a) + Quarter(b);
        row[4 * j + 2] = Half(a) + Half(b);
        row[4 * j + 3] = Quarter(a) + Quarter(b) + Half(b);
    }
}

// The three rows between two finished rows, all 320 columns. Only the finished rows 4k and
// 4k + 4 are read, so the band may follow right after row 4k + 4 instead of after all of them.
static void FillBand(const uint32_t* top, const uint32_t* bottom, uint32_t* row1, uint32_t* row2,
                     uint32_t* row3) {
    for (int x = 0; x < kPictureWidth; ++x) {
        const uint32_t t = top[x];
        const uint32_t u = bottom[x];
        const uint32_t quarters = Quarter(t) + Quarter(u);
        row1[x] = quarters + Half(t);
        row2[x] = Half(t) + Half(u);
        row3[x] = quarters + Half(u);
    }
}

const RenderPath portableRenderPath = {"portable", TracePortable,
                                       UpscaleInBands<WidenRow, FillBand>};
