// The packet tracer: eight rays at a time in single precision, lane masks instead of branches.
#pragma once

#include <cstdint>

#include "raytrace/floor_geometry.h"
#include "raytrace/frame_constants.h"
#include "raytrace/primary_rays.h"
#include "raytrace/ray_packets.h"
#include "raytrace/render_frame.h"
#include "raytrace/trace_ray.h"

// Written once over a lane type F with its mask type M (lanes_portable.h, lanes_avx2.h) and
// instantiated in one translation unit per instruction set; everything here is a template, so
// each instantiation is a function of its own.
//
// The picture is that of TraceRay within one step per channel. The floor's points, mirror
// directions and decisions come from FloorGeometry, which computes them as TraceRay does; the
// lights' terms on the floor from the planes those points lie on (frame_constants.h). Packets whose
// lines pass the sphere by a clear margin (the cone test) skip the sphere test altogether.
// Single precision gives the same picture wherever a decision does not flip: the sphere's
// discriminant is checked against a bound on its difference to the exact tracer's, and a lane
// within it (a ray that grazes the sphere) is traced again by TraceRay. The light tests
// (n.L > 0) need no such care: a light's term goes to 0 as n.L does.
namespace packet_tracer {

template <class F> struct Rgb { F r, g, b; };

template <class F> struct Vec { F x, y, z; };

template <class F> inline F Dot(const Vec<F>& a, const Vec<F>& b) {
    return MulAdd(a.x, b.x, MulAdd(a.y, b.y, a.z * b.z));
}

template <class F, class M> struct SphereTest {
    M hit;
    M unsure;
    F t;
};

// The sphere test of TraceRay. The exact tracer forms disc = b^2 - 4(v.v - r^2) from b = 2 D.v
// rounded to single precision; here v.v - (D.v)^2 is taken as
// |v - (D.v) D|^2 - (D.v)^2 (|D|^2 - 1), which has no cancellation. The two differ by about
// (D.v)^2 2^-21 at most (the rounding of b), so a lane with |disc| within
// (D.v)^2 2^-18 + r^2 2^-16 may flip and is marked unsure.
template <class F, class M>
inline SphereTest<F, M> TestSphere(const FrameConstants& k, const Vec<F>& o, const Vec<F>& d,
                                   F lengthError) {
    const Vec<F> v = {o.x - F(k.centerX), o.y - F(k.centerY), o.z - F(k.centerZ)};
    const F s = Dot(d, v);
    const Vec<F> across = {NegMulAdd(s, d.x, v.x), NegMulAdd(s, d.y, v.y), NegMulAdd(s, d.z, v.z)};
    const F s2 = s * s;
    const F q = NegMulAdd(s2, lengthError, Dot(across, across));
    const F disc = F(4.0f) * (F(k.radiusSquared) - q);
    const F bound = MulAdd(s2, F(0x1p-18f), F(k.radiusSlack));
    SphereTest<F, M> test;
    test.hit = disc > F(0.0f);
    // Not "<=": a NaN (from a floor point out at infinity) must count as unsure too.
    test.unsure = AndNot(Abs(disc) > bound, M::FromBits(0xFFu));
    // The smaller root (-b - sqrt(disc)) / 2, whatever its sign.
    test.t = F(-0.5f) * (Sqrt(Max(disc, F(0.0f))) + (s + s));
    return test;
}

// Ambient plus the diffuse term of every lit light at a sphere point, capped.
template <class F, class M>
inline Rgb<F> ShadeSphere(const FrameConstants& k, const Vec<F>& o, const Vec<F>& d, F t) {
    const Vec<F> p = {MulAdd(t, d.x, o.x), MulAdd(t, d.y, o.y), MulAdd(t, d.z, o.z)};
    const F inverseRadius(k.inverseRadius);
    const Vec<F> n = {(p.x - F(k.centerX)) * inverseRadius, (p.y - F(k.centerY)) * inverseRadius,
                      (p.z - F(k.centerZ)) * inverseRadius};
    Rgb<F> c = {F(k.sphereR), F(k.sphereG), F(k.sphereB)};
    for (int32_t i = 0; i < k.lightCount; ++i) {
        const LightConstants& light = k.lights[i];
        const Vec<F> l = {F(light.x) - p.x, F(light.y) - p.y, F(light.z) - p.z};
        const F nl = Dot(n, l);
        const M lit = nl > F(0.0f);
        if (!Any(lit)) {
            continue;
        }
        const F w = Select(lit, nl * InvSqrt(Dot(l, l)), F(0.0f));
        c.r = MulAdd(w, F(light.sphereR), c.r);
        c.g = MulAdd(w, F(light.sphereG), c.g);
        c.b = MulAdd(w, F(light.sphereB), c.b);
    }
    return {Cap(c.r), Cap(c.g), Cap(c.b)};
}

template <class F> inline Vec<F> LoadVec(const float* x, const float* y, const float* z, int i) {
    return {F::Load(x + i), F::Load(y + i), F::Load(z + i)};
}

// The sum of the terms of `count` plane lights at points X, where L - X is light + sign * P
// (frame_constants.h), added to `c`.
template <class F>
inline Rgb<F> AddPlaneLights(Rgb<F> c, const PlaneLight* lights, int32_t count, const Vec<F>& p,
                             bool far) {
    for (int32_t i = 0; i < count; ++i) {
        const PlaneLight& light = lights[i];
        const Vec<F> l = far ? Vec<F>{F(light.x) + p.x, F(light.y) + p.y, F(light.z) + p.z}
                             : Vec<F>{F(light.x) - p.x, F(light.y) - p.y, F(light.z) - p.z};
        const F w = InvSqrt(Dot(l, l));
        c.r = MulAdd(w, F(light.r), c.r);
        c.g = MulAdd(w, F(light.g), c.g);
        c.b = MulAdd(w, F(light.b), c.b);
    }
    return c;
}

// Ambient plus the diffuse terms at the floor points P, already weighted by 1 - planeReflect for
// the mix; uncapped.
template <class F> inline Rgb<F> ShadeFloorKept(const FrameConstants& k, const Vec<F>& p) {
    return AddPlaneLights<F>({F(k.keptR), F(k.keptG), F(k.keptB)}, k.floorLights, k.floorLightCount,
                             p, false);
}

// Ambient plus the diffuse terms at the points where the mirror rays from P meet the plane
// formula again; uncapped.
template <class F> inline Rgb<F> ShadeFar(const FrameConstants& k, const Vec<F>& p) {
    return AddPlaneLights<F>({F(k.planeR), F(k.planeG), F(k.planeB)}, k.farLights, k.farLightCount,
                             p, true);
}

template <class F, class M> inline Rgb<F> Choose(M m, const Rgb<F>& a, const Rgb<F>& b) {
    return {Select(m, a.r, b.r), Select(m, a.g, b.g), Select(m, a.b, b.b)};
}

template <class F> inline Rgb<F> CapAll(const Rgb<F>& c) {
    return {Cap(c.r), Cap(c.g), Cap(c.b)};
}

// Traces packet `packet` (rays 8 * packet ...) and stores its packed pixels. `nearSphere` and
// `nearMirror` are false when the cone test has shown that no primary line, or no mirror line, of
// the packet comes near the sphere. Returns the lanes (bit i for ray 8 * packet + i) that must be
// traced again exactly.
template <class F, class M>
[[gnu::always_inline]] inline unsigned TracePacket(const FrameConstants& k, const RayPackets& rays,
                                                   int packet, bool nearSphere, bool nearMirror,
                                                   uint32_t* pixels) {
    const FloorGeometry& g = *k.floor;
    const int first = packet * PacketLanes;
    const unsigned floorBits = g.floorBits[packet];
    const F reflect(k.reflect);
    if (!nearSphere && !nearMirror && (floorBits & g.farBits[packet]) == 0xFFu) {
        // Floor only, each mirror ray going on to its far point: most of the lower half.
        const Vec<F> p = LoadVec<F>(g.pointX, g.pointY, g.pointZ, first);
        const Rgb<F> kept = ShadeFloorKept<F>(k, p);
        const Rgb<F> seen = CapAll<F>(ShadeFar<F>(k, p));
        StorePixels(pixels + first, Cap(MulAdd(reflect, seen.r, kept.r)),
                    Cap(MulAdd(reflect, seen.g, kept.g)), Cap(MulAdd(reflect, seen.b, kept.b)));
        return 0;
    }
    const F zero(0.0f);
    const Rgb<F> black = {zero, zero, zero};
    Rgb<F> c = black;
    M hit = M::FromBits(0);
    M unsure = hit;
    if (nearSphere) {
        const Vec<F> o = {F(k.originX), F(k.originY), F(k.originZ)};
        const Vec<F> d = LoadVec<F>(rays.directionX, rays.directionY, rays.directionZ, first);
        const SphereTest<F, M> sphere =
            TestSphere<F, M>(k, o, d, F::Load(rays.lengthError + first));
        hit = sphere.hit;
        unsure = sphere.unsure;
        if (Any(hit)) {
            c = Choose<F, M>(hit, ShadeSphere<F, M>(k, o, d, sphere.t), black);
        }
    }
    const M floor = AndNot(hit, M::FromBits(floorBits));
    if (Any(floor)) {
        const Vec<F> p = LoadVec<F>(g.pointX, g.pointY, g.pointZ, first);
        const Rgb<F> kept = ShadeFloorKept<F>(k, p);

        // The mirror ray from p, traced at depth 1: the sphere, else the far point.
        Rgb<F> m = black;
        M mirrorHit = M::FromBits(0);
        if (nearMirror) {
            const Vec<F> r = LoadVec<F>(g.mirrorX, g.mirrorY, g.mirrorZ, first);
            const SphereTest<F, M> mirror =
                TestSphere<F, M>(k, p, r, F::Load(g.mirrorLengthError + first));
            unsure = unsure | (floor & mirror.unsure);
            mirrorHit = floor & mirror.hit;
            if (Any(mirrorHit)) {
                m = Choose<F, M>(mirrorHit, ShadeSphere<F, M>(k, p, r, mirror.t), black);
            }
        }
        const M far = AndNot(mirrorHit, floor & M::FromBits(g.farBits[packet]));
        if (Any(far)) {
            const Rgb<F> seen = ShadeFar<F>(k, p);
            m = Choose<F, M>(far, CapAll<F>(seen), m);
        }

        const Rgb<F> mixed = {MulAdd(reflect, m.r, kept.r), MulAdd(reflect, m.g, kept.g),
                              MulAdd(reflect, m.b, kept.b)};
        c = Choose<F, M>(floor, CapAll<F>(mixed), c);
    }
    StorePixels(pixels + first, c.r, c.g, c.b);
    return Bits(unsure);
}

// For the eight packets from `packet`, the bits of those whose cones come near the sphere's.
template <class F, class M>
inline unsigned NearCone(const RayPackets& rays, int packet, const SphereCone& cone) {
    const Vec<F> axis = LoadVec<F>(rays.axisX, rays.axisY, rays.axisZ, packet);
    const Vec<F> toward = {F(cone.towardX), F(cone.towardY), F(cone.towardZ)};
    return 0xFFu & ~Bits(Abs(Dot(axis, toward)) < F(cone.cosLimit));
}

// Traces the lanes of `unsure` again with TraceRay; returns how many. Rare, so kept out of line.
template <class F>
[[gnu::noinline]] int TraceExactly(int packet, unsigned unsure, uint32_t* pixels) {
    int count = 0;
    const int first = packet * PacketLanes;
    for (int lane = 0; lane < PacketLanes; ++lane) {
        if (unsure & (1u << lane)) {
            pixels[first + lane] = PackColor(TraceRay(PrimaryRays[first + lane], 0));
            ++count;
        }
    }
    return count;
}

// Traces the whole primary grid into `pixels`; the unsure lanes go through TraceRay.
// Returns how many rays took that road.
template <class F, class M> inline int TraceGrid(const FrameConstants& k, uint32_t* pixels) {
    // Eight packets at a time: which come near the sphere along their primary lines, and
    // which along their mirror lines (or reach so far out that the cone test cannot tell).
    const FloorGeometry& g = *k.floor;
    int exact = 0;
    for (int group = 0; group < PacketCount; group += 8) {
        const unsigned sphere = NearCone<F, M>(primaryPackets, group, k.primaryCone);
        if (group + 8 <= g.firstFloorPacket && sphere == 0) {
            for (int packet = group; packet < group + 8; ++packet) {
                F::StoreZero(pixels + packet * PacketLanes); // sky: nothing to meet
            }
            continue;
        }
        const unsigned mirror = NearCone<F, M>(primaryPackets, group, k.mirrorCone) |
                                Bits(F::Load(g.reach + group) > F(k.mirrorCone.reach));
        const int end = group + 8 < PacketCount ? group + 8 : PacketCount;
        for (int packet = group; packet < end; ++packet) {
            const unsigned bit = 1u << (packet - group);
            if (packet < g.firstFloorPacket && (sphere & bit) == 0) {
                F::StoreZero(pixels + packet * PacketLanes);
                continue;
            }
            const unsigned unsure = TracePacket<F, M>(
                k, primaryPackets, packet, (sphere & bit) != 0, (mirror & bit) != 0, pixels);
            if (unsure != 0) {
                exact += TraceExactly<F>(packet, unsure, pixels);
            }
        }
    }
    return exact;
}

} // namespace packet_tracer
