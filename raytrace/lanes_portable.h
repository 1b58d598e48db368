// Eight float lanes in plain C++: the portable instruction set of the packet tracer.
#ifndef ZARVO_RAYTRACE_LANES_PORTABLE_H
#define ZARVO_RAYTRACE_LANES_PORTABLE_H

#include <cmath>
#include <cstdint>
#include <cstring>

// Every operation the packet tracer uses, on eight lanes held in arrays; the compiler
// vectorises what the target allows. lanes_avx2.h offers the same names on __m256.
namespace lanes_portable {

struct Mask {
    bool v[8];
    // Lane i set when bit i is.
    static Mask FromBits(unsigned bits) {
        Mask m;
        for (int i = 0; i < 8; ++i) {
            m.v[i] = ((bits >> i) & 1u) != 0;
        }
        return m;
    }
};

struct Floats {
    float v[8];
    Floats() = default;
    explicit Floats(float x) {
        for (float& lane : v) {
            lane = x;
        }
    }
    static Floats Load(const float* p) {
        Floats r;
        std::memcpy(r.v, p, sizeof r.v);
        return r;
    }
    // Eight black pixels.
    static void StoreZero(uint32_t* out) {
        std::memset(out, 0, 8 * sizeof *out);
    }
};

template <class Op> inline Floats Map(const Floats& a, const Floats& b, Op op) {
    Floats r;
    for (int i = 0; i < 8; ++i) {
        r.v[i] = op(a.v[i], b.v[i]);
    }
    return r;
}

template <class Op> inline Mask Compare(const Floats& a, const Floats& b, Op op) {
    Mask r;
    for (int i = 0; i < 8; ++i) {
        r.v[i] = op(a.v[i], b.v[i]);
    }
    return r;
}

inline Floats operator+(const Floats& a, const Floats& b) {
    return Map(a, b, [](float x, float y) { return x + y; });
}
inline Floats operator-(const Floats& a, const Floats& b) {
    return Map(a, b, [](float x, float y) { return x - y; });
}
inline Floats operator*(const Floats& a, const Floats& b) {
    return Map(a, b, [](float x, float y) { return x * y; });
}
inline Floats operator/(const Floats& a, const Floats& b) {
    return Map(a, b, [](float x, float y) { return x / y; });
}
// a * b + c and c - a * b.
inline Floats MulAdd(const Floats& a, const Floats& b, const Floats& c) {
    return a * b + c;
}
inline Floats NegMulAdd(const Floats& a, const Floats& b, const Floats& c) {
    return c - a * b;
}
inline Floats Sqrt(const Floats& a) {
    Floats r;
    for (int i = 0; i < 8; ++i) {
        r.v[i] = std::sqrt(a.v[i]);
    }
    return r;
}
// 1 / sqrt(a), to nearly full single precision.
inline Floats InvSqrt(const Floats& a) {
    return Floats(1.0f) / Sqrt(a);
}
inline Floats Abs(const Floats& a) {
    Floats r;
    for (int i = 0; i < 8; ++i) {
        r.v[i] = std::fabs(a.v[i]);
    }
    return r;
}
inline Floats Max(const Floats& a, const Floats& b) {
    return Map(a, b, [](float x, float y) { return x > y ? x : y; });
}

inline Mask operator>(const Floats& a, const Floats& b) {
    return Compare(a, b, [](float x, float y) { return x > y; });
}
inline Mask operator<(const Floats& a, const Floats& b) {
    return Compare(a, b, [](float x, float y) { return x < y; });
}
inline Mask operator&(const Mask& a, const Mask& b) {
    Mask r;
    for (int i = 0; i < 8; ++i) {
        r.v[i] = a.v[i] && b.v[i];
    }
    return r;
}
inline Mask operator|(const Mask& a, const Mask& b) {
    Mask r;
    for (int i = 0; i < 8; ++i) {
        r.v[i] = a.v[i] || b.v[i];
    }
    return r;
}
// Lanes of b that are not in a.
inline Mask AndNot(const Mask& a, const Mask& b) {
    Mask r;
    for (int i = 0; i < 8; ++i) {
        r.v[i] = !a.v[i] && b.v[i];
    }
    return r;
}
// Lane i of the mask as bit i.
inline unsigned Bits(const Mask& m) {
    unsigned bits = 0;
    for (int i = 0; i < 8; ++i) {
        bits |= unsigned(m.v[i]) << i;
    }
    return bits;
}
inline bool Any(const Mask& m) {
    return Bits(m) != 0;
}
// m ? a : b, lane by lane.
inline Floats Select(const Mask& m, const Floats& a, const Floats& b) {
    Floats r;
    for (int i = 0; i < 8; ++i) {
        r.v[i] = m.v[i] ? a.v[i] : b.v[i];
    }
    return r;
}

// The cap by bit pattern: a lane whose bits, read as a signed integer, exceed those of 1.0
// becomes 1.0 (so does a NaN with a clear sign bit); nothing is raised.
inline Floats Cap(const Floats& a) {
    Floats r;
    for (int i = 0; i < 8; ++i) {
        int32_t bits;
        std::memcpy(&bits, &a.v[i], sizeof bits);
        r.v[i] = bits > 0x3F800000 ? 1.0f : a.v[i];
    }
    return r;
}

// Eight colours as packed pixels: 255 * channel truncated, below 0 or NaN as 0, at most 255.
inline void StorePixels(uint32_t* out, const Floats& r, const Floats& g, const Floats& b) {
    auto channel = [](float c) -> uint32_t {
        const float scaled = 255.0f * c;
        if (!(scaled > 0.0f)) {
            return 0;
        }
        return scaled >= 255.0f ? 255u : uint32_t(scaled);
    };
    for (int i = 0; i < 8; ++i) {
        out[i] = (channel(r.v[i]) << 16) | (channel(g.v[i]) << 8) | channel(b.v[i]);
    }
}

} // namespace lanes_portable

#endif
