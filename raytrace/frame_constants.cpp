// Per-frame constants of the fast tracer, and the check that the scene suits it.
#include "raytrace/frame_constants.h"

#include <cmath>

#include "raytrace/ray_packets.h"
#include "raytrace/scene.h"

static bool Finite(const float* values, int count) {
    for (int i = 0; i < count; ++i) {
        if (!std::isfinite(values[i])) {
            return false;
        }
    }
    return true;
}

// The cone test for a sphere at `center` seen from the rays' common origin: a line at an angle
// above asin(r / distance) from the direction to the centre misses the sphere, so a packet whose
// lines all lie within coneAngle of its axis misses it when the axis is further than
// coneAngle + asin(r / distance) away. The constants:
//   1e-3 rad  a further milliradian, so that every skipped line passes the sphere by at least
//             1e-3 * distance: far beyond any rounding, no skipped decision is a close one
//   1.001     an origin within 0.1 % of the radius from the surface (or inside) gets no cone:
//             there asin(r / distance) is steep and nearly every direction meets the sphere
//   1.5 rad   a limit past about 86 degrees skips too little to be worth its test (and cos of
//             the limit would approach 0, where its rounding counts); the cone is then off
//   1e-6      off the cosine, for the single precision of the test: `toward` is rounded (each
//             component by at most 2^-24 ~ 6e-8 relative) and axis . toward is summed in single
//             precision (a rounding of the same size per step), a few 1e-7 in all
//   500       see `reach` below
static SphereCone ConeFor(const double center[3], double radius) {
    SphereCone cone = {0.0f, 0.0f, 0.0f, -1.0f, 0.0f};
    if (primaryPackets.sharedOrigin == 0) {
        return cone;
    }
    const Vector& o = primaryPackets.origin;
    const double to[3] = {center[0] - o.x, center[1] - o.y, center[2] - o.z};
    const double distance = std::sqrt(to[0] * to[0] + to[1] * to[1] + to[2] * to[2]);
    if (!(distance > radius * 1.001)) {
        return cone;
    }
    const double limit = primaryPackets.coneAngle + std::asin(radius / distance) + 1e-3;
    if (limit >= 1.5) {
        return cone;
    }
    cone.towardX = float(to[0] / distance);
    cone.towardY = float(to[1] / distance);
    cone.towardZ = float(to[2] / distance);
    cone.cosLimit = float(std::cos(limit) - 1e-6); // allow for the rounding of `toward`
    // A mirror line starts at its floor point P, not at the origin, and P (single precision,
    // from the exact tracer's formula) may be off by about |P| 2^-20. The cone test holds for
    // such a line while that offset stays within half the milliradian margin at the sphere's
    // distance: |P| 2^-20 <= 5e-4 * distance, i.e. |P| <= 524 * distance. Floor points further
    // out than 500 times the distance (a round number below 524) are always tested.
    cone.reach = float(distance * 500.0);
    return cone;
}

int MakeFrameConstants(FrameConstants& k) {
    const Scene& s = scene;
    const float head[] = {s.planeNormal.x,  s.planeNormal.y,  s.planeNormal.z,  s.planeDistance,
                          s.planeReflect,   s.planeColor.r,   s.planeColor.g,   s.planeColor.b,
                          s.sphereCenter.x, s.sphereCenter.y, s.sphereCenter.z, s.sphereRadius,
                          s.sphereDiffuse,  s.sphereColor.r,  s.sphereColor.g,  s.sphereColor.b,
                          s.ambient.r,      s.ambient.g,      s.ambient.b};
    if (primaryPackets.sharedOrigin == 0 || !Finite(head, sizeof head / sizeof head[0]) ||
        !(s.sphereRadius > 0.0f) || s.lightCount < 0 || s.lightCount > kMaxFastLights ||
        (s.lightCount > 0 && s.lights == nullptr)) {
        return 0;
    }
    const Vector& n = s.planeNormal;
    const double normalLength = double(n.x) * n.x + double(n.y) * n.y + double(n.z) * n.z;
    // The plane formulas below (the heights, the far point Q) take N as a unit vector; a normal
    // off by more than single precision's own rounding of a unit vector (a few 1e-7) is not.
    if (std::fabs(normalLength - 1.0) > 1e-6) {
        return 0;
    }

    const Vector& c = s.sphereCenter;
    k.centerX = c.x;
    k.centerY = c.y;
    k.centerZ = c.z;
    k.radiusSquared = float(double(s.sphereRadius) * s.sphereRadius);
    k.inverseRadius = float(1.0 / s.sphereRadius);
    // The r^2 part of the sphere test's bound (trace_packets.h, TestSphere, derives it): sixteen
    // times what single precision's roundings put into the discriminant in proportion to r^2.
    k.radiusSlack = float(double(k.radiusSquared) * 0x1p-16);
    k.sphereR = float(double(s.sphereColor.r) * s.ambient.r);
    k.sphereG = float(double(s.sphereColor.g) * s.ambient.g);
    k.sphereB = float(double(s.sphereColor.b) * s.ambient.b);
    k.planeR = float(double(s.planeColor.r) * s.ambient.r);
    k.planeG = float(double(s.planeColor.g) * s.ambient.g);
    k.planeB = float(double(s.planeColor.b) * s.ambient.b);
    k.reflect = s.planeReflect;
    const double keep = 1.0 - s.planeReflect;
    k.keptR = float(k.planeR * keep);
    k.keptG = float(k.planeG * keep);
    k.keptB = float(k.planeB * keep);

    // The mirror rays' lines are the primary lines reflected in the plane on which the floor
    // points lie (N.P = 2 N.O - d for the common origin O), so they meet the sphere where the
    // primary lines would meet its mirror image.
    const double center[3] = {c.x, c.y, c.z};
    k.primaryCone = ConeFor(center, s.sphereRadius);
    const Vector& o = primaryPackets.origin;
    const double height =
        2.0 * (double(n.x) * o.x + double(n.y) * o.y + double(n.z) * o.z) - s.planeDistance;
    const double above = double(n.x) * c.x + double(n.y) * c.y + double(n.z) * c.z - height;
    const double mirrored[3] = {c.x - 2.0 * above * n.x, c.y - 2.0 * above * n.y,
                                c.z - 2.0 * above * n.z};
    k.mirrorCone = ConeFor(mirrored, s.sphereRadius);
    k.floor = &CurrentFloorGeometry();

    const double eye[3] = {o.x, o.y, o.z};
    const double normal[3] = {n.x, n.y, n.z};
    const double h = double(n.x) * o.x + double(n.y) * o.y + double(n.z) * o.z - s.planeDistance;
    k.originX = o.x;
    k.originY = o.y;
    k.originZ = o.z;
    k.lightCount = s.lightCount;
    k.floorLightCount = 0;
    k.farLightCount = 0;
    for (int32_t i = 0; i < s.lightCount; ++i) {
        const Light& light = s.lights[i];
        const float values[] = {light.position.x, light.position.y, light.position.z,
                                light.color.r,    light.color.g,    light.color.b};
        if (!Finite(values, 6)) {
            return 0;
        }
        LightConstants& l = k.lights[i];
        l.x = light.position.x;
        l.y = light.position.y;
        l.z = light.position.z;
        const double sphere = s.sphereDiffuse;
        l.sphereR = float(double(light.color.r) * s.sphereColor.r * sphere);
        l.sphereG = float(double(light.color.g) * s.sphereColor.g * sphere);
        l.sphereB = float(double(light.color.b) * s.sphereColor.b * sphere);

        const double at[3] = {l.x, l.y, l.z};
        const double lightHeight = normal[0] * at[0] + normal[1] * at[1] + normal[2] * at[2];
        const double eyeHeight = h + s.planeDistance; // N.O
        const double plane[3] = {double(light.color.r) * s.planeColor.r * s.planeReflect,
                                 double(light.color.g) * s.planeColor.g * s.planeReflect,
                                 double(light.color.b) * s.planeColor.b * s.planeReflect};
        // Floor points: N.P = N.O + h.
        const double floorHeight = lightHeight - (eyeHeight + h);
        if (floorHeight > 0.0) {
            const double f = floorHeight * keep;
            k.floorLights[k.floorLightCount++] = {
                l.x, l.y, l.z, float(plane[0] * f), float(plane[1] * f), float(plane[2] * f)};
        }
        // Far points: Q = 2 O + 4 h N - P, so N.Q = N.O + 3 h and L - Q = (L - 2 O - 4 h N) + P.
        const double farHeight = lightHeight - (eyeHeight + 3.0 * h);
        if (farHeight > 0.0) {
            PlaneLight& far = k.farLights[k.farLightCount++];
            far.x = float(at[0] - 2.0 * eye[0] - 4.0 * h * normal[0]);
            far.y = float(at[1] - 2.0 * eye[1] - 4.0 * h * normal[1]);
            far.z = float(at[2] - 2.0 * eye[2] - 4.0 * h * normal[2]);
            far.r = float(plane[0] * farHeight);
            far.g = float(plane[1] * farHeight);
            far.b = float(plane[2] * farHeight);
        }
    }
    return 1;
}
