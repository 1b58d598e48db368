// The packed copy of the primary ray grid.
#include "raytrace/ray_packets.h"

RayPackets primaryPackets;

void PackRays(const Ray* rays, RayPackets& packets) {
    for (int i = 0; i < 4000; ++i) {
        const Ray& ray = rays[i];
        packets.originX[i] = ray.origin.x;
        packets.originY[i] = ray.origin.y;
        packets.originZ[i] = ray.origin.z;
        packets.directionX[i] = ray.direction.x;
        packets.directionY[i] = ray.direction.y;
        packets.directionZ[i] = ray.direction.z;
        const double x = ray.direction.x;
        const double y = ray.direction.y;
        const double z = ray.direction.z;
        packets.lengthError[i] = float(x * x + y * y + z * z - 1.0);
    }
}
