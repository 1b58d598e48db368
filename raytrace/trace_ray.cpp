// The exact per-ray tracer: stored values are 32-bit floats, intermediates are doubles.
#include "raytrace/trace_ray.h"

#include <cmath>
#include <cstring>

#include "raytrace/scene.h"

float CapChannel(float value) {
    int32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    if (bits > 0x3F800000) {
        return 1.0f;
    }
    return value;
}

static Color Cap(Color c) {
    return {CapChannel(c.r), CapChannel(c.g), CapChannel(c.b)};
}

static double Dot(const Vector& a, const Vector& b) {
    return double(a.x) * b.x + double(a.y) * b.y + double(a.z) * b.z;
}

// Adds to c the diffuse term of every light on the lit side of the surface at `point`: the
// light's colour times the material times (cosine * factor). n.L is tested before L is
// normalised, so a light in the tangent plane or behind the surface adds nothing.
static void AddLights(Color& c, const Vector& point, const Vector& normal, const Color& material,
                      float factor) {
    for (int32_t i = 0; i < scene.lightCount; ++i) {
        const Light& light = scene.lights[i];
        const double lx = double(light.position.x) - point.x;
        const double ly = double(light.position.y) - point.y;
        const double lz = double(light.position.z) - point.z;
        if (!(normal.x * lx + normal.y * ly + normal.z * lz > 0.0)) {
            continue;
        }
        const double s = 1.0 / std::sqrt(lx * lx + ly * ly + lz * lz);
        const Vector unit = {float(s * lx), float(s * ly), float(s * lz)};
        const double weight = Dot(normal, unit) * factor;
        c.r = float(c.r + double(light.color.r) * material.r * weight);
        c.g = float(c.g + double(light.color.g) * material.g * weight);
        c.b = float(c.b + double(light.color.b) * material.b * weight);
    }
}

static Color Modulate(const Color& a, const Color& b) {
    return {float(double(a.r) * b.r), float(double(a.g) * b.g), float(double(a.b) * b.b)};
}

Color TraceRay(const Ray& ray, uint32_t depth) {
    const Vector& o = ray.origin;
    const Vector& d = ray.direction;

    // Sphere: |D| = 1, so the quadratic is t^2 + b t + k = 0. A tangent ray (disc = 0) misses;
    // the smaller root is taken whatever its sign, so a sphere behind the origin is still hit.
    const Vector& center = scene.sphereCenter;
    const float radius = scene.sphereRadius;
    const Vector v = {o.x - center.x, o.y - center.y, o.z - center.z};
    const float b = float(2.0 * Dot(d, v));
    const double k = Dot(v, v) - double(radius) * radius;
    const float disc = float(double(b) * b + (-4.0) * k);
    if (disc > 0.0f) {
        const double t = -(std::sqrt(double(disc)) + b) * 0.5;
        const Vector p = {float(o.x + t * d.x), float(o.y + t * d.y), float(o.z + t * d.z)};
        const Vector n = {float((double(p.x) - center.x) / radius),
                          float((double(p.y) - center.y) / radius),
                          float((double(p.z) - center.z) / radius)};
        Color c = Modulate(scene.sphereColor, scene.ambient);
        AddLights(c, p, n, scene.sphereColor, scene.sphereDiffuse);
        return Cap(c);
    }

    // Plane: seen only by rays running against its normal; parallel or leaving rays are black.
    const Vector& normal = scene.planeNormal;
    const double den = Dot(d, normal);
    if (!(den < 0.0)) {
        return {0.0f, 0.0f, 0.0f};
    }
    const double t = (Dot(o, normal) - scene.planeDistance) / den;
    const Vector p = {float(o.x + t * d.x), float(o.y + t * d.y), float(o.z + t * d.z)};
    Color c = Modulate(scene.planeColor, scene.ambient);
    AddLights(c, p, normal, scene.planeColor, scene.planeReflect);

    if (depth == 0) {
        // R = 2(N.D)N - D keeps pointing against N, through the plane, with its components
        // along the plane reversed; the local colour is mixed in uncapped.
        const Ray mirror = {p,
                            {float(2.0 * den * normal.x - d.x), float(2.0 * den * normal.y - d.y),
                             float(2.0 * den * normal.z - d.z)}};
        const Color rc = TraceRay(mirror, depth + 1);
        const double w = scene.planeReflect;
        c.r = float((1.0 - w) * c.r + w * rc.r);
        c.g = float((1.0 - w) * c.g + w * rc.g);
        c.b = float((1.0 - w) * c.b + w * rc.b);
    }
    return Cap(c);
}
