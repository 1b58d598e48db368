// Per-frame constants of the fast tracer, and the check that the scene suits it.
#include "raytrace/frame_constants.h"

#include <cmath>

#include "raytrace/scene.h"

static bool Finite(const float* values, int count) {
    for (int i = 0; i < count; ++i) {
        if (!std::isfinite(values[i])) {
            return false;
        }
    }
    return true;
}

int MakeFrameConstants(FrameConstants& k) {
    const Scene& s = scene;
    const float head[] = {s.planeNormal.x,  s.planeNormal.y,  s.planeNormal.z,  s.planeDistance,
                          s.planeReflect,   s.planeColor.r,   s.planeColor.g,   s.planeColor.b,
                          s.sphereCenter.x, s.sphereCenter.y, s.sphereCenter.z, s.sphereRadius,
                          s.sphereDiffuse,  s.sphereColor.r,  s.sphereColor.g,  s.sphereColor.b,
                          s.ambient.r,      s.ambient.g,      s.ambient.b};
    if (!Finite(head, sizeof head / sizeof head[0]) || !(s.sphereRadius > 0.0f) ||
        s.lightCount < 0 || s.lightCount > MaxFastLights ||
        (s.lightCount > 0 && s.lights == nullptr)) {
        return 0;
    }
    const Vector& n = s.planeNormal;
    const double normalLength = double(n.x) * n.x + double(n.y) * n.y + double(n.z) * n.z;
    if (std::fabs(normalLength - 1.0) > 1e-6) {
        return 0;
    }

    k.centerX = s.sphereCenter.x;
    k.centerY = s.sphereCenter.y;
    k.centerZ = s.sphereCenter.z;
    k.radius = s.sphereRadius;
    k.radiusSquared = float(double(s.sphereRadius) * s.sphereRadius);
    k.inverseRadius = float(1.0 / s.sphereRadius);
    k.radiusSlack = float(double(k.radiusSquared) * 0x1p-16);
    k.sphereR = float(double(s.sphereColor.r) * s.ambient.r);
    k.sphereG = float(double(s.sphereColor.g) * s.ambient.g);
    k.sphereB = float(double(s.sphereColor.b) * s.ambient.b);
    k.normalX = n.x;
    k.normalY = n.y;
    k.normalZ = n.z;
    k.distance = s.planeDistance;
    k.normalError = float(normalLength - 1.0);
    k.planeR = float(double(s.planeColor.r) * s.ambient.r);
    k.planeG = float(double(s.planeColor.g) * s.ambient.g);
    k.planeB = float(double(s.planeColor.b) * s.ambient.b);
    k.reflect = s.planeReflect;
    k.keep = float(1.0 - s.planeReflect);
    k.lightCount = s.lightCount;
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
        const double plane = s.planeReflect;
        l.planeR = float(double(light.color.r) * s.planeColor.r * plane);
        l.planeG = float(double(light.color.g) * s.planeColor.g * plane);
        l.planeB = float(double(light.color.b) * s.planeColor.b * plane);
        const double lit = double(n.x) * l.x + double(n.y) * l.y + double(n.z) * l.z;
        l.floorLit = float(lit + s.planeDistance);
        l.farLit = float(lit + 3.0 * s.planeDistance);
    }
    return 1;
}
