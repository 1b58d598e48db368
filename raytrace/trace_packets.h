// The packet tracer: eight rays at a time in single precision, lane masks instead of branches.
#pragma once

#include <cstdint>

#include "raytrace/frame_constants.h"
#include "raytrace/primary_rays.h"
#include "raytrace/ray_packets.h"
#include "raytrace/render_frame.h"
#include "raytrace/trace_ray.h"

// Written once over a lane type F with its mask type M (lanes_portable.h, lanes_avx2.h) and
// instantiated in one translation unit per instruction set; everything here is a template, so
// each instantiation is a function of its own.
//
// The picture is that of TraceRay within one step per channel. Single precision gives the same
// picture wherever a decision does not flip: the sphere's discriminant and the plane's N.D are
// checked against a bound on the difference to the exact tracer, and a lane within it (a ray
// that grazes the sphere or runs along the plane) is traced again by TraceRay. The light tests
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
// rounded to single precision; here v.v - (D.v)^2 is taken as |v - (D.v) D|^2 - (D.v)^2 (|D|^2 -
// 1), which has no cancellation. The two differ by about (D.v)^2 2^-21 at most (the rounding of b),
// so a lane with |disc| within (D.v)^2 2^-18 + r^2 2^-16 may flip and is marked unsure.
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
    test.unsure = Abs(disc) <= bound;
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

// Ambient plus the diffuse terms at a plane point p, uncapped. N.L is known without p: it is
// the light's `lit` constant minus `originTerm` (see LightConstants).
template <class F, class M>
inline Rgb<F> ShadePlane(const FrameConstants& k, const Vec<F>& p, F originTerm, bool far) {
    Rgb<F> c = {F(k.planeR), F(k.planeG), F(k.planeB)};
    for (int32_t i = 0; i < k.lightCount; ++i) {
        const LightConstants& light = k.lights[i];
        const F nl = F(far ? light.farLit : light.floorLit) - originTerm;
        const M lit = nl > F(0.0f);
        if (!Any(lit)) {
            continue;
        }
        const Vec<F> l = {F(light.x) - p.x, F(light.y) - p.y, F(light.z) - p.z};
        const F w = Select(lit, nl * InvSqrt(Dot(l, l)), F(0.0f));
        c.r = MulAdd(w, F(light.planeR), c.r);
        c.g = MulAdd(w, F(light.planeG), c.g);
        c.b = MulAdd(w, F(light.planeB), c.b);
    }
    return c;
}

// N.D with the lanes whose sign single precision cannot vouch for: the error of the dot
// product is below 2^-22 of the sum of the products' magnitudes (0 when they are all exact).
template <class F, class M>
inline F FacingPlane(const FrameConstants& k, const Vec<F>& d, M& unsure) {
    const Vec<F> n = {F(k.normalX), F(k.normalY), F(k.normalZ)};
    const F den = Dot(d, n);
    const F scale = Abs(d.x * n.x) + Abs(d.y * n.y) + Abs(d.z * n.z);
    unsure = Abs(den) < scale * F(0x1p-21f);
    return den;
}

template <class F> inline Vec<F> Along(const Vec<F>& o, const Vec<F>& d, F t) {
    return {MulAdd(t, d.x, o.x), MulAdd(t, d.y, o.y), MulAdd(t, d.z, o.z)};
}

// Traces the eight rays from index `first` and stores their packed pixels. Returns the lanes
// (bit i for ray first + i) that must be traced again exactly.
template <class F, class M>
inline unsigned TracePacket(const FrameConstants& k, const RayPackets& rays, int first,
                            uint32_t* pixels) {
    const Vec<F> o = {F::Load(rays.originX + first), F::Load(rays.originY + first),
                      F::Load(rays.originZ + first)};
    const Vec<F> d = {F::Load(rays.directionX + first), F::Load(rays.directionY + first),
                      F::Load(rays.directionZ + first)};
    const F lengthError = F::Load(rays.lengthError + first);
    const F zero(0.0f);

    const SphereTest<F, M> sphere = TestSphere<F, M>(k, o, d, lengthError);
    M unsure = sphere.unsure;
    Rgb<F> c = {zero, zero, zero};
    if (Any(sphere.hit)) {
        const Rgb<F> lit = ShadeSphere<F, M>(k, o, d, sphere.t);
        c = {Select(sphere.hit, lit.r, zero), Select(sphere.hit, lit.g, zero),
             Select(sphere.hit, lit.b, zero)};
    }

    M unsureDen;
    const F den = FacingPlane<F, M>(k, d, unsureDen);
    unsure = unsure | AndNot(sphere.hit, unsureDen);
    const M plane = AndNot(sphere.hit, den < zero);
    if (Any(plane)) {
        const Vec<F> n = {F(k.normalX), F(k.normalY), F(k.normalZ)};
        const F originTerm = Dot(o, n);
        const F t = (originTerm - F(k.distance)) / den;
        const Vec<F> p = Along(o, d, t);
        const Rgb<F> local = ShadePlane<F, M>(k, p, originTerm + originTerm, false);

        // The mirror ray R = 2(N.D)N - D from p, traced at depth 1.
        const F twoDen = den + den;
        const Vec<F> r = {MulSub(twoDen, n.x, d.x), MulSub(twoDen, n.y, d.y),
                          MulSub(twoDen, n.z, d.z)};
        const F mirrorLengthError = MulAdd(twoDen * twoDen, F(k.normalError), lengthError);
        const SphereTest<F, M> mirrorSphere = TestSphere<F, M>(k, p, r, mirrorLengthError);
        unsure = unsure | (plane & mirrorSphere.unsure);
        const M mirrorHit = plane & mirrorSphere.hit;
        Rgb<F> m = {zero, zero, zero};
        if (Any(mirrorHit)) {
            m = ShadeSphere<F, M>(k, p, r, mirrorSphere.t);
        }
        M unsureMirrorDen;
        const F mirrorDen = FacingPlane<F, M>(k, r, unsureMirrorDen);
        unsure = unsure | AndNot(mirrorHit, plane & unsureMirrorDen);
        const M far = AndNot(mirrorHit, plane & (mirrorDen < zero));
        if (Any(far)) {
            const F farT = (Dot(p, n) - F(k.distance)) / mirrorDen;
            const Rgb<F> seen = ShadePlane<F, M>(k, Along(p, r, farT), F(4.0f) * originTerm, true);
            m = {Select(far, Cap(seen.r), m.r), Select(far, Cap(seen.g), m.g),
                 Select(far, Cap(seen.b), m.b)};
        }
        m = {Select(plane, m.r, zero), Select(plane, m.g, zero), Select(plane, m.b, zero)};

        const F keep(k.keep);
        const F reflect(k.reflect);
        c.r = Select(plane, Cap(MulAdd(keep, local.r, reflect * m.r)), c.r);
        c.g = Select(plane, Cap(MulAdd(keep, local.g, reflect * m.g)), c.g);
        c.b = Select(plane, Cap(MulAdd(keep, local.b, reflect * m.b)), c.b);
    }
    StorePixels(pixels + first, c.r, c.g, c.b);
    return Bits(unsure);
}

// Traces the whole primary grid into `pixels`; the unsure lanes go through TraceRay.
// Returns how many rays took that road.
template <class F, class M> inline int TraceGrid(const FrameConstants& k, uint32_t* pixels) {
    int exact = 0;
    for (int first = 0; first < 4000; first += PacketLanes) {
        const unsigned unsure = TracePacket<F, M>(k, primaryPackets, first, pixels);
        if (unsure == 0) {
            continue;
        }
        for (int lane = 0; lane < PacketLanes; ++lane) {
            if (unsure & (1u << lane)) {
                pixels[first + lane] = PackColor(TraceRay(PrimaryRays[first + lane], 0));
                ++exact;
            }
        }
    }
    return exact;
}

} // namespace packet_tracer
