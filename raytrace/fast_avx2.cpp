// The AVX2 and FMA render path. Compiled with -mavx2 -mfma; called only on processors that
// have both (simd_dispatch_x86.cpp), so nothing here may run at static initialisation.
#include <immintrin.h>

#include "raytrace/lanes_avx2.h"
#include "raytrace/render_paths.h"
#include "raytrace/trace_packets.h"
#include "raytrace/upscale_steps.h"

namespace {

int TraceAvx2(const FrameConstants& k, uint32_t* pixels) {
    return packet_tracer::TraceGrid<lanes_avx2::Floats, lanes_avx2::Mask>(k, pixels);
}

// The vector forms of the quarters and halves of upscale_steps.h, eight pixels at a time; kept
// here so that nothing built with this file's flags is shared with the portable path.
__m256i Quarter(__m256i v) {
    return _mm256_srli_epi32(_mm256_and_si256(v, _mm256_set1_epi32(0xFCFCFC)), 2);
}

__m256i Half(__m256i v) {
    return _mm256_srli_epi32(_mm256_and_si256(v, _mm256_set1_epi32(0xFEFEFE)), 1);
}

__m256i LoadU(const uint32_t* p) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}

void StoreU(uint32_t* p, __m256i v) {
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v);
}

// Surface pixels 4j0 ... 4j0 + 31 of a pass-1 row from grid cells j0 ... j0 + 8: the four
// values of each pair are computed eight pairs at a time and interleaved into pixel order.
void WidenEight(const uint32_t* cells, int j0, uint32_t* row) {
    const __m256i a = LoadU(cells + j0);
    const __m256i b = LoadU(cells + j0 + 1);
    const __m256i qa = Quarter(a);
    const __m256i ha = Half(a);
    const __m256i qb = Quarter(b);
    const __m256i hb = Half(b);
    const __m256i quarters = _mm256_add_epi32(qa, qb);
    const __m256i p1 = _mm256_add_epi32(ha, quarters);
    const __m256i p2 = _mm256_add_epi32(ha, hb);
    const __m256i p3 = _mm256_add_epi32(quarters, hb);
    // Per 128-bit half: (a, p1) and (p2, p3) pairs, then whole four-pixel groups.
    const __m256i lo01 = _mm256_unpacklo_epi32(a, p1);
    const __m256i hi01 = _mm256_unpackhi_epi32(a, p1);
    const __m256i lo23 = _mm256_unpacklo_epi32(p2, p3);
    const __m256i hi23 = _mm256_unpackhi_epi32(p2, p3);
    const __m256i g04 = _mm256_unpacklo_epi64(lo01, lo23); // pairs 0 and 4
    const __m256i g15 = _mm256_unpackhi_epi64(lo01, lo23); // pairs 1 and 5
    const __m256i g26 = _mm256_unpacklo_epi64(hi01, hi23); // pairs 2 and 6
    const __m256i g37 = _mm256_unpackhi_epi64(hi01, hi23); // pairs 3 and 7
    uint32_t* out = row + 4 * j0;
    StoreU(out, _mm256_permute2x128_si256(g04, g15, 0x20));
    StoreU(out + 8, _mm256_permute2x128_si256(g26, g37, 0x20));
    StoreU(out + 16, _mm256_permute2x128_si256(g04, g15, 0x31));
    StoreU(out + 24, _mm256_permute2x128_si256(g26, g37, 0x31));
}

// Pairs 0 ... 78: nine groups of eight from 0, then the group from 71, whose overlap with the
// group from 64 rewrites the same values; it reads cells up to 79 and writes up to pixel 315.
void WidenRow(const uint32_t* cells, uint32_t* row) {
    for (int j0 = 0; j0 < 72; j0 += 8) {
        WidenEight(cells, j0, row);
    }
    WidenEight(cells, 71, row);
}

void FillBand(const uint32_t* top, const uint32_t* bottom, uint32_t* row1, uint32_t* row2,
              uint32_t* row3) {
    for (int x = 0; x < 320; x += 8) {
        const __m256i t = LoadU(top + x);
        const __m256i u = LoadU(bottom + x);
        const __m256i ht = Half(t);
        const __m256i hu = Half(u);
        const __m256i quarters = _mm256_add_epi32(Quarter(t), Quarter(u));
        StoreU(row1 + x, _mm256_add_epi32(quarters, ht));
        StoreU(row2 + x, _mm256_add_epi32(ht, hu));
        StoreU(row3 + x, _mm256_add_epi32(quarters, hu));
    }
}

} // namespace

extern const RenderPath avx2RenderPath;
const RenderPath avx2RenderPath = {"avx2+fma", TraceAvx2, UpscaleInBands<WidenRow, FillBand>};
