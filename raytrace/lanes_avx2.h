// Eight float lanes on AVX2 and FMA registers: the fast instruction set of the packet tracer.
#ifndef ZARVO_RAYTRACE_LANES_AVX2_H
#define ZARVO_RAYTRACE_LANES_AVX2_H

#include <immintrin.h>

#include <cstdint>

// The same operations as lanes_portable.h, one or two instructions each. Included only by
// translation units compiled for AVX2 and FMA, which run only after the processor has been
// asked (render_paths.h). Uses no inline function of the standard library, so that no copy
// compiled for AVX2 can stand in for one that portable code calls.
namespace lanes_avx2 {

struct Mask {
    __m256 v;
    static Mask FromBits(unsigned bits) {
        const __m256i lanes = _mm256_setr_epi32(1, 2, 4, 8, 16, 32, 64, 128);
        const __m256i set = _mm256_and_si256(_mm256_set1_epi32(int(bits)), lanes);
        return {_mm256_castsi256_ps(_mm256_cmpeq_epi32(set, lanes))};
    }
};

struct Floats {
    __m256 v;
    Floats() = default;
    explicit Floats(__m256 x) : v(x) {}
    explicit Floats(float x) : v(_mm256_set1_ps(x)) {}
    static Floats Load(const float* p) {
        return Floats(_mm256_load_ps(p));
    }
    static void StoreZero(uint32_t* out) {
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), _mm256_setzero_si256());
    }
};

inline Floats operator+(Floats a, Floats b) {
    return Floats(_mm256_add_ps(a.v, b.v));
}
inline Floats operator-(Floats a, Floats b) {
    return Floats(_mm256_sub_ps(a.v, b.v));
}
inline Floats operator*(Floats a, Floats b) {
    return Floats(_mm256_mul_ps(a.v, b.v));
}
inline Floats operator/(Floats a, Floats b) {
    return Floats(_mm256_div_ps(a.v, b.v));
}
inline Floats MulAdd(Floats a, Floats b, Floats c) {
    return Floats(_mm256_fmadd_ps(a.v, b.v, c.v));
}
inline Floats NegMulAdd(Floats a, Floats b, Floats c) {
    return Floats(_mm256_fnmadd_ps(a.v, b.v, c.v));
}
inline Floats Sqrt(Floats a) {
    return Floats(_mm256_sqrt_ps(a.v));
}
// The hardware estimate, within 1.5 * 2^-12 of 1 / sqrt(a): a light term of at most 1.0 comes
// out within a tenth of a pixel step.
inline Floats InvSqrt(Floats a) {
    return Floats(_mm256_rsqrt_ps(a.v));
}
inline Floats Abs(Floats a) {
    return Floats(_mm256_andnot_ps(_mm256_set1_ps(-0.0f), a.v));
}
inline Floats Max(Floats a, Floats b) {
    return Floats(_mm256_max_ps(a.v, b.v));
}

inline Mask operator>(Floats a, Floats b) {
    return {_mm256_cmp_ps(a.v, b.v, _CMP_GT_OQ)};
}
inline Mask operator<(Floats a, Floats b) {
    return {_mm256_cmp_ps(a.v, b.v, _CMP_LT_OQ)};
}
inline Mask operator&(Mask a, Mask b) {
    return {_mm256_and_ps(a.v, b.v)};
}
inline Mask operator|(Mask a, Mask b) {
    return {_mm256_or_ps(a.v, b.v)};
}
inline Mask AndNot(Mask a, Mask b) {
    return {_mm256_andnot_ps(a.v, b.v)};
}
inline unsigned Bits(Mask m) {
    return unsigned(_mm256_movemask_ps(m.v));
}
inline bool Any(Mask m) {
    return _mm256_movemask_ps(m.v) != 0;
}
inline Floats Select(Mask m, Floats a, Floats b) {
    return Floats(_mm256_blendv_ps(b.v, a.v, m.v));
}

// The cap by bit pattern: as signed integers, the bits of any float above 1.0 (a NaN with a
// clear sign bit included) exceed those of 1.0 and every negative float's are below, so the
// cap is the signed minimum with 0x3F800000.
inline Floats Cap(Floats a) {
    const __m256i bits = _mm256_min_epi32(_mm256_castps_si256(a.v), _mm256_set1_epi32(0x3F800000));
    return Floats(_mm256_castsi256_ps(bits));
}

// 255 * channel truncated, packed to 0x00RRGGBB. The channels come capped (at most 1.0); the
// saturating packs raise a negative one, or a NaN (which converts to the integer minimum), to 0,
// so that it cannot spill into its neighbours. Per 128-bit half the packs leave the bytes as
// b0-3 g0-3 r0-3 0000, which the byte shuffle puts in pixel order.
inline void StorePixels(uint32_t* out, Floats r, Floats g, Floats b) {
    const __m256 scale = _mm256_set1_ps(255.0f);
    const __m256i ri = _mm256_cvttps_epi32(_mm256_mul_ps(r.v, scale));
    const __m256i gi = _mm256_cvttps_epi32(_mm256_mul_ps(g.v, scale));
    const __m256i bi = _mm256_cvttps_epi32(_mm256_mul_ps(b.v, scale));
    const __m256i bg = _mm256_packus_epi32(bi, gi);
    const __m256i r0 = _mm256_packus_epi32(ri, _mm256_setzero_si256());
    const __m256i bytes = _mm256_packus_epi16(bg, r0);
    const __m256i order = _mm256_setr_epi8(0, 4, 8, 12, 1, 5, 9, 13, 2, 6, 10, 14, 3, 7, 11, 15, 0,
                                           4, 8, 12, 1, 5, 9, 13, 2, 6, 10, 14, 3, 7, 11, 15);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), _mm256_shuffle_epi8(bytes, order));
}

} // namespace lanes_avx2

#endif
