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

// The quarters and halves of upscale_steps.h, eight pixels at a time, by byte averages: with
// every channel made even (Evens) or a multiple of four (Fours), the rounding-up average of two
// such bytes, (x + y + 1) >> 1, is exactly (x + y) / 2, so
//   Half(a) + Half(b)             = avg(Evens(a), Evens(b))
//   Quarter(a) + Quarter(b)       = avg(Fours(a), Fours(b)) / 2, held doubled as q2 (even)
//   Half(a) + Quarter(a) + Quarter(b) = avg(Evens(a), q2)
// The masks clear the top byte as Quarter and Half do. Kept here so that nothing built with
// this file's flags is shared with the portable path.
__m256i Evens(__m256i v) {
    return _mm256_and_si256(v, _mm256_set1_epi32(0xFEFEFE));
}

__m256i Fours(__m256i v) {
    return _mm256_and_si256(v, _mm256_set1_epi32(0xFCFCFC));
}

__m256i Average(__m256i a, __m256i b) {
    return _mm256_avg_epu8(a, b);
}

__m256i LoadU(const uint32_t* p) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}

void StoreU(uint32_t* p, __m256i v) {
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v);
}

// The surface pixels of eight pairs of neighbouring grid cells (a[i], b[i]) in pixel order:
// the four values of each pair are computed eight pairs at a time and interleaved.
struct Widened {
    __m256i v[4];
};

Widened WidenPairs(__m256i a, __m256i b) {
    const __m256i ea = Evens(a);
    const __m256i eb = Evens(b);
    const __m256i q2 = Average(Fours(a), Fours(b));
    const __m256i p1 = Average(ea, q2);
    const __m256i p2 = Average(ea, eb);
    const __m256i p3 = Average(eb, q2);
    // Per 128-bit half: (a, p1) and (p2, p3) pairs, then whole four-pixel groups.
    const __m256i lo01 = _mm256_unpacklo_epi32(a, p1);
    const __m256i hi01 = _mm256_unpackhi_epi32(a, p1);
    const __m256i lo23 = _mm256_unpacklo_epi32(p2, p3);
    const __m256i hi23 = _mm256_unpackhi_epi32(p2, p3);
    const __m256i g04 = _mm256_unpacklo_epi64(lo01, lo23); // pairs 0 and 4
    const __m256i g15 = _mm256_unpackhi_epi64(lo01, lo23); // pairs 1 and 5
    const __m256i g26 = _mm256_unpacklo_epi64(hi01, hi23); // pairs 2 and 6
    const __m256i g37 = _mm256_unpackhi_epi64(hi01, hi23); // pairs 3 and 7
    return {{_mm256_permute2x128_si256(g04, g15, 0x20), _mm256_permute2x128_si256(g26, g37, 0x20),
             _mm256_permute2x128_si256(g04, g15, 0x31), _mm256_permute2x128_si256(g26, g37, 0x31)}};
}

// Surface pixels 4j0 ... 4j0 + 31 of a pass-1 row from grid cells j0 ... j0 + 8.
void WidenEight(const uint32_t* cells, int j0, uint32_t* row) {
    const Widened w = WidenPairs(LoadU(cells + j0), LoadU(cells + j0 + 1));
    uint32_t* out = row + 4 * j0;
    for (int i = 0; i < 4; ++i) {
        StoreU(out + 8 * i, w.v[i]);
    }
}

// The same for a row that starts halfway into a 32-byte block: each store takes the upper half
// of one widened vector and the lower half of the next, so it covers pixels 4 + 8n ... 11 + 8n
// and stays within a cache line. The last group (pairs 72 ... 79) takes its right neighbours
// from its own cells, so it reads no cell past 79; its pair 79 is garbage but lies in pixels
// 316 ... 319, which are never stored.
void WidenRowShifted(const uint32_t* cells, uint32_t* row) {
    __m128i carry = _mm_setzero_si128();
    for (int j0 = 0; j0 < kGridColumns; j0 += 8) {
        const __m256i a = LoadU(cells + j0);
        const __m256i b =
            j0 < 72 ? LoadU(cells + j0 + 1)
                    : _mm256_permutevar8x32_epi32(a, _mm256_setr_epi32(1, 2, 3, 4, 5, 6, 7, 7));
        const Widened w = WidenPairs(a, b);
        uint32_t* out = row + 4 * j0;
        if (j0 == 0) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm256_castsi256_si128(w.v[0]));
        } else {
            StoreU(out - 4, _mm256_set_m128i(_mm256_castsi256_si128(w.v[0]), carry));
        }
        StoreU(out + 4, _mm256_permute2x128_si256(w.v[0], w.v[1], 0x21));
        StoreU(out + 12, _mm256_permute2x128_si256(w.v[1], w.v[2], 0x21));
        StoreU(out + 20, _mm256_permute2x128_si256(w.v[2], w.v[3], 0x21));
        carry = _mm256_extracti128_si256(w.v[3], 1);
    }
}

// Pairs 0 ... 78: nine groups of eight from 0, then the group from 71, whose overlap with the
// group from 64 rewrites the same values; it reads cells up to 79 and writes up to pixel 315.
void WidenRow(const uint32_t* cells, uint32_t* row) {
    if ((reinterpret_cast<uintptr_t>(row) & 31) == 16) {
        WidenRowShifted(cells, row);
        return;
    }
    for (int j0 = 0; j0 < 72; j0 += 8) {
        WidenEight(cells, j0, row);
    }
    WidenEight(cells, 71, row);
}

// Pixels x ... x + 3 of the three rows of a band.
void FillFour(const uint32_t* top, const uint32_t* bottom, uint32_t* row1, uint32_t* row2,
              uint32_t* row3, int x) {
    const __m128i evens = _mm_set1_epi32(0xFEFEFE);
    const __m128i fours = _mm_set1_epi32(0xFCFCFC);
    const __m128i t = _mm_loadu_si128(reinterpret_cast<const __m128i*>(top + x));
    const __m128i u = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bottom + x));
    const __m128i et = _mm_and_si128(t, evens);
    const __m128i eu = _mm_and_si128(u, evens);
    const __m128i q2 = _mm_avg_epu8(_mm_and_si128(t, fours), _mm_and_si128(u, fours));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(row1 + x), _mm_avg_epu8(et, q2));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(row2 + x), _mm_avg_epu8(et, eu));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(row3 + x), _mm_avg_epu8(eu, q2));
}

// A row that starts halfway into a 32-byte block (as a 16-byte aligned allocation may) is
// filled in steps of eight from pixel 4, with four pixels at each end, so that no 256-bit store
// straddles two cache lines; a straddling store costs about as much as two.
void FillBand(const uint32_t* top, const uint32_t* bottom, uint32_t* row1, uint32_t* row2,
              uint32_t* row3) {
    const int first = (reinterpret_cast<uintptr_t>(row1) & 31) == 16 ? 4 : 0;
    if (first != 0) {
        FillFour(top, bottom, row1, row2, row3, 0);
    }
    for (int x = first; x + 8 <= kPictureWidth; x += 8) {
        const __m256i t = LoadU(top + x);
        const __m256i u = LoadU(bottom + x);
        const __m256i et = Evens(t);
        const __m256i eu = Evens(u);
        const __m256i q2 = Average(Fours(t), Fours(u));
        StoreU(row1 + x, Average(et, q2));
        StoreU(row2 + x, Average(et, eu));
        StoreU(row3 + x, Average(eu, q2));
    }
    if (first != 0) {
        FillFour(top, bottom, row1, row2, row3, 316);
    }
}

} // namespace

const RenderPath avx2RenderPath = {"avx2+fma", TraceAvx2, UpscaleInBands<WidenRow, FillBand>};
