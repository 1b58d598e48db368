// The packet tracer: eight rays at a time in single precision, lane masks instead of branches.
#ifndef ZARVO_RAYTRACE_TRACE_PACKETS_H
#define ZARVO_RAYTRACE_TRACE_PACKETS_H

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
// rounded to single precision (v = O - C, s = D.v). Here v.v - s^2 is taken as
// |v - s D|^2 - s^2 (|D|^2 - 1): expanding, |v - s D|^2 = v.v - 2 s^2 + s^2 |D|^2, so the two are
// equal in exact arithmetic, and this form has no cancellation (near a grazing ray
// |v - s D|^2 is about r^2, not the difference of two large numbers).
// The bound on how far the two discriminants may lie apart, term by term:
//   - the exact tracer's b carries a relative error of at most 2^-24, so b^2 = 4 s^2 is off by at
//     most 2 * 2^-24 * 4 s^2 = s^2 2^-21;
//   - here s and the components of v - s D round in single precision (fused multiply-adds round
//     once). v - s D is the difference of two vectors about |v| long, so it is off by a few
//     2^-24 |v|, which puts about 2 r |v| 2^-23 <= (r^2 + v.v) 2^-23 into q and four times that
//     into disc; near a grazing ray v.v = s^2 + q ~ s^2 + r^2, so this is of the order of
//     (s^2 + 2 r^2) 2^-21.
// Together about s^2 2^-20 + r^2 2^-20. The bound keeps a wide margin over that: s^2 2^-18 is
// four times the s^2 part, r^2 2^-16 (radiusSlack) sixteen times the r^2 part. A lane with
// |disc| within it may decide differently from TraceRay and is marked unsure; a lane outside it
// decides the same. Widening the bound only sends more lanes to TraceRay; narrowing it towards
// these terms would let a grazing ray flip (GrazingRaysFollowTheExactHitOrMiss).
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

template <class F, class M> inline Rgb<F> Choose(M m, const Rgb<F>& a, const Rgb<F>& b) {
    return {Select(m, a.r, b.r), Select(m, a.g, b.g), Select(m, a.b, b.b)};
}

template <class F> inline Rgb<F> CapAll(const Rgb<F>& c) {
    return {Cap(c.r), Cap(c.g), Cap(c.b)};
}

// A plane light's constants in every lane.
template <class F> struct PlaneLightLanes { F x, y, z, r, g, b; };

template <class F> inline PlaneLightLanes<F> LanesOf(const PlaneLight& light) {
    return {F(light.x), F(light.y), F(light.z), F(light.r), F(light.g), F(light.b)};
}

// Adds a plane light's term at points X to `c`, where L - X is the light's (x, y, z) - P on the
// floor points' plane and (x, y, z) + P on the far points' plane (frame_constants.h).
template <class F, bool Far>
inline Rgb<F> AddPlaneLight(const Rgb<F>& c, const PlaneLightLanes<F>& light, const Vec<F>& p) {
    const Vec<F> l = Far ? Vec<F>{light.x + p.x, light.y + p.y, light.z + p.z}
                         : Vec<F>{light.x - p.x, light.y - p.y, light.z - p.z};
    const F w = InvSqrt(Dot(l, l));
    return {MulAdd(w, light.r, c.r), MulAdd(w, light.g, c.g), MulAdd(w, light.b, c.b)};
}

// Ambient plus the diffuse terms at the floor points P, already weighted by 1 - planeReflect for
// the mix; uncapped.
template <class F> inline Rgb<F> ShadeFloorKept(const FrameConstants& k, const Vec<F>& p) {
    Rgb<F> c = {F(k.keptR), F(k.keptG), F(k.keptB)};
    for (int32_t i = 0; i < k.floorLightCount; ++i) {
        c = AddPlaneLight<F, false>(c, LanesOf<F>(k.floorLights[i]), p);
    }
    return c;
}

// Ambient plus the diffuse terms at the points where the mirror rays from P meet the plane
// formula again; uncapped.
template <class F> inline Rgb<F> ShadeFar(const FrameConstants& k, const Vec<F>& p) {
    Rgb<F> c = {F(k.planeR), F(k.planeG), F(k.planeB)};
    for (int32_t i = 0; i < k.farLightCount; ++i) {
        c = AddPlaneLight<F, true>(c, LanesOf<F>(k.farLights[i]), p);
    }
    return c;
}

// The stored pixels of floor points whose own shade is `kept` and whose mirror rays see `seen`.
template <class F>
inline void StoreFloor(uint32_t* out, F reflect, const Rgb<F>& kept, const Rgb<F>& seen) {
    StorePixels(out, Cap(MulAdd(reflect, seen.r, kept.r)), Cap(MulAdd(reflect, seen.g, kept.g)),
                Cap(MulAdd(reflect, seen.b, kept.b)));
}

// Shades the packets `packets[0 ... count - 1]` whose rays all meet the floor and whose mirror
// rays all go on to the plane, with the sphere near neither line: most of the lower half. The
// numbers of lights are template arguments so that the lights' constants stay in registers
// through the run (about a quarter faster than reading them for every packet); the results are
// those of ShadeFloorKept and ShadeFar, operation for operation.
template <class F, int FloorLights, int FarLights>
void ShadeFloorRun(const FrameConstants& k, const uint16_t* packets, int count, uint32_t* pixels) {
    const FloorGeometry& g = *k.floor;
    PlaneLightLanes<F> floor[FloorLights > 0 ? FloorLights : 1];
    PlaneLightLanes<F> far[FarLights > 0 ? FarLights : 1];
    for (int i = 0; i < FloorLights; ++i) {
        floor[i] = LanesOf<F>(k.floorLights[i]);
    }
    for (int i = 0; i < FarLights; ++i) {
        far[i] = LanesOf<F>(k.farLights[i]);
    }
    const Rgb<F> keptBase = {F(k.keptR), F(k.keptG), F(k.keptB)};
    const Rgb<F> farBase = {F(k.planeR), F(k.planeG), F(k.planeB)};
    const F reflect(k.reflect);
    for (int n = 0; n < count; ++n) {
        const int first = packets[n] * kPacketLanes;
        const Vec<F> p = LoadVec<F>(g.pointX, g.pointY, g.pointZ, first);
        Rgb<F> kept = keptBase;
        for (int i = 0; i < FloorLights; ++i) {
            kept = AddPlaneLight<F, false>(kept, floor[i], p);
        }
        Rgb<F> seen = farBase;
        for (int i = 0; i < FarLights; ++i) {
            seen = AddPlaneLight<F, true>(seen, far[i], p);
        }
        StoreFloor<F>(pixels + first, reflect, kept, CapAll<F>(seen));
    }
}

// The same for any number of lights.
template <class F>
void ShadeFloorRunAnyCount(const FrameConstants& k, const uint16_t* packets, int count,
                           uint32_t* pixels) {
    const FloorGeometry& g = *k.floor;
    for (int n = 0; n < count; ++n) {
        const int first = packets[n] * kPacketLanes;
        const Vec<F> p = LoadVec<F>(g.pointX, g.pointY, g.pointZ, first);
        StoreFloor<F>(pixels + first, F(k.reflect), ShadeFloorKept<F>(k, p),
                      CapAll<F>(ShadeFar<F>(k, p)));
    }
}

// Picks the run for this frame's numbers of lights: up to two of each kind (the show has two
// lights) have a run of their own.
template <class F>
void ShadeFloorOnly(const FrameConstants& k, const uint16_t* packets, int count, uint32_t* pixels) {
    using Run = void (*)(const FrameConstants&, const uint16_t*, int, uint32_t*);
    static constexpr Run runs[3][3] = {
        {ShadeFloorRun<F, 0, 0>, ShadeFloorRun<F, 0, 1>, ShadeFloorRun<F, 0, 2>},
        {ShadeFloorRun<F, 1, 0>, ShadeFloorRun<F, 1, 1>, ShadeFloorRun<F, 1, 2>},
        {ShadeFloorRun<F, 2, 0>, ShadeFloorRun<F, 2, 1>, ShadeFloorRun<F, 2, 2>}};
    if (k.floorLightCount > 2 || k.farLightCount > 2) {
        ShadeFloorRunAnyCount<F>(k, packets, count, pixels);
        return;
    }
    runs[k.floorLightCount][k.farLightCount](k, packets, count, pixels);
}

// Traces packet `packet` (rays 8 * packet ...) and stores its packed pixels. `nearSphere` and
// `nearMirror` are false when the cone test has shown that no primary line, or no mirror line, of
// the packet comes near the sphere. Returns the lanes (bit i for ray 8 * packet + i) that must be
// traced again exactly. Packets of floor only go to ShadeFloorOnly instead.
template <class F, class M>
[[gnu::always_inline]] inline unsigned TracePacket(const FrameConstants& k, const RayPackets& rays,
                                                   int packet, bool nearSphere, bool nearMirror,
                                                   uint32_t* pixels) {
    const FloorGeometry& g = *k.floor;
    const int first = packet * kPacketLanes;
    const unsigned floorBits = g.floorBits[packet];
    const F reflect(k.reflect);
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

// For the eight packets from `packet`, the bits of those whose cones come near the sphere's:
// a packet is far when the angle between its axis and the direction toward the sphere exceeds
// its own cone's half-angle plus the sphere's (|axis . toward| < cosLimit, frame_constants.cpp).
// The absolute value also skips a sphere straight behind the packet, which a line (not only a
// ray) could still meet: TraceRay takes the smaller root whatever its sign.
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
    const int first = packet * kPacketLanes;
    for (int lane = 0; lane < kPacketLanes; ++lane) {
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
    uint16_t floorOnly[kPacketCount]; // shaded together afterwards (ShadeFloorOnly)
    int floorOnlyCount = 0;
    for (int group = 0; group < kPacketCount; group += 8) {
        const unsigned sphere = NearCone<F, M>(primaryPackets, group, k.primaryCone);
        if (group + 8 <= g.firstFloorPacket && sphere == 0) {
            for (int packet = group; packet < group + 8; ++packet) {
                F::StoreZero(pixels + packet * kPacketLanes); // sky: nothing to meet
            }
            continue;
        }
        const unsigned mirror = NearCone<F, M>(primaryPackets, group, k.mirrorCone) |
                                Bits(F::Load(g.reach + group) > F(k.mirrorCone.reach));
        // Floor only, with the sphere near neither line: listed for ShadeFloorOnly.
        const unsigned plain = g.fullGroupBits[group / 8] & ~(sphere | mirror);
        for (unsigned bits = plain; bits != 0; bits &= bits - 1) {
            floorOnly[floorOnlyCount++] = uint16_t(group + __builtin_ctz(bits));
        }
        const int end = group + 8 < kPacketCount ? group + 8 : kPacketCount;
        const unsigned rest = ((1u << (end - group)) - 1) & ~plain;
        for (unsigned bits = rest; bits != 0; bits &= bits - 1) {
            const int packet = group + __builtin_ctz(bits);
            const unsigned bit = 1u << (packet - group);
            if (packet < g.firstFloorPacket && (sphere & bit) == 0) {
                F::StoreZero(pixels + packet * kPacketLanes);
                continue;
            }
            const unsigned unsure = TracePacket<F, M>(
                k, primaryPackets, packet, (sphere & bit) != 0, (mirror & bit) != 0, pixels);
            if (unsure != 0) {
                exact += TraceExactly<F>(packet, unsure, pixels);
            }
        }
    }
    ShadeFloorOnly<F>(k, floorOnly, floorOnlyCount, pixels);
    return exact;
}

} // namespace packet_tracer

#endif
