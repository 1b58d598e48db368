// The floor geometry of the primary rays, kept from frame to frame.
#include "raytrace/floor_geometry.h"

#include <cmath>
#include <cstring>
#include <limits>

#include "raytrace/primary_rays.h"
#include "raytrace/scene.h"

namespace {

struct Key {
    Vector normal;
    float distance;
    uint32_t generation;
};

struct Cache {
    FloorGeometry geometry;
    Key key;
    bool valid;
};

Cache cache;

double Dot(const Vector& a, const Vector& b) {
    return double(a.x) * b.x + double(a.y) * b.y + double(a.z) * b.z;
}

// The plane steps of TraceRay for one ray, expression for expression.
void Compute(FloorGeometry& g, int i, const Ray& ray, const Vector& normal, float distance) {
    const Vector& o = ray.origin;
    const Vector& d = ray.direction;
    const double den = Dot(d, normal);
    const unsigned bit = 1u << (i % kPacketLanes);
    if (!(den < 0.0)) {
        return;
    }
    g.floorBits[i / kPacketLanes] |= bit;
    const double t = (Dot(o, normal) - distance) / den;
    const Vector p = {float(o.x + t * d.x), float(o.y + t * d.y), float(o.z + t * d.z)};
    const Vector r = {float(2.0 * den * normal.x - d.x), float(2.0 * den * normal.y - d.y),
                      float(2.0 * den * normal.z - d.z)};
    const float reach = std::fmax(std::fabs(p.x), std::fmax(std::fabs(p.y), std::fabs(p.z)));
    float& packetReach = g.reach[i / kPacketLanes];
    packetReach =
        std::isnan(reach) ? std::numeric_limits<float>::infinity() : std::fmax(packetReach, reach);
    g.pointX[i] = p.x;
    g.pointY[i] = p.y;
    g.pointZ[i] = p.z;
    g.mirrorX[i] = r.x;
    g.mirrorY[i] = r.y;
    g.mirrorZ[i] = r.z;
    g.mirrorLengthError[i] = float(Dot(r, r) - 1.0);
    if (Dot(r, normal) < 0.0) {
        g.farBits[i / kPacketLanes] |= bit;
    }
}

} // namespace

const FloorGeometry& CurrentFloorGeometry() {
    const Key key = {scene.planeNormal, scene.planeDistance, primaryPackets.generation};
    if (cache.valid && std::memcmp(&key, &cache.key, sizeof key) == 0) {
        return cache.geometry;
    }
    FloorGeometry& g = cache.geometry;
    const uint32_t generation = g.generation + 1;
    std::memset(&g, 0, sizeof g);
    g.generation = generation;
    for (int i = 0; i < kGridCells; ++i) {
        Compute(g, i, PrimaryRays[i], scene.planeNormal, scene.planeDistance);
    }
    g.firstFloorPacket = kPacketCount;
    for (int packet = kPacketCount - 1; packet >= 0; --packet) {
        if (g.floorBits[packet] != 0) {
            g.firstFloorPacket = packet;
        }
        if ((g.floorBits[packet] & g.farBits[packet]) == 0xFFu) {
            g.fullGroupBits[packet / 8] |= uint8_t(1u << (packet % 8));
        }
    }
    cache.key = key;
    cache.valid = true;
    return g;
}
