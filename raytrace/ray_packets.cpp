// The packed copy of the primary ray grid, with the cones of its packets.
#include "raytrace/ray_packets.h"

#include <cmath>

RayPackets primaryPackets;

// The unit mean direction of a packet and the largest angle between it and a direction.
static double PacketCone(const Ray* rays, double axis[3]) {
    double sum[3] = {0.0, 0.0, 0.0};
    for (int lane = 0; lane < kPacketLanes; ++lane) {
        sum[0] += rays[lane].direction.x;
        sum[1] += rays[lane].direction.y;
        sum[2] += rays[lane].direction.z;
    }
    const double length = std::sqrt(sum[0] * sum[0] + sum[1] * sum[1] + sum[2] * sum[2]);
    if (!(length > 1e-3)) {
        axis[0] = axis[1] = axis[2] = 0.0;
        return 3.141592653589793;
    }
    for (int i = 0; i < 3; ++i) {
        axis[i] = sum[i] / length;
    }
    double widest = 0.0;
    for (int lane = 0; lane < kPacketLanes; ++lane) {
        const Vector& d = rays[lane].direction;
        const double dl = std::sqrt(double(d.x) * d.x + double(d.y) * d.y + double(d.z) * d.z);
        const double c = (axis[0] * d.x + axis[1] * d.y + axis[2] * d.z) / dl;
        const double angle = std::acos(c > 1.0 ? 1.0 : (c < -1.0 ? -1.0 : c));
        widest = angle > widest ? angle : widest;
    }
    return widest;
}

void PackRays(const Ray* rays, RayPackets& packets) {
    packets.sharedOrigin = 1;
    packets.origin = rays[0].origin;
    for (int i = 0; i < kGridCells; ++i) {
        const Ray& ray = rays[i];
        packets.directionX[i] = ray.direction.x;
        packets.directionY[i] = ray.direction.y;
        packets.directionZ[i] = ray.direction.z;
        const double x = ray.direction.x;
        const double y = ray.direction.y;
        const double z = ray.direction.z;
        packets.lengthError[i] = float(x * x + y * y + z * z - 1.0);
        if (ray.origin.x != packets.origin.x || ray.origin.y != packets.origin.y ||
            ray.origin.z != packets.origin.z) {
            packets.sharedOrigin = 0;
        }
    }
    packets.coneAngle = 0.0;
    for (int p = 0; p < kPacketGroups * 8; ++p) {
        double axis[3] = {0.0, 0.0, 0.0};
        if (p < kPacketCount) {
            const double angle = PacketCone(rays + p * kPacketLanes, axis);
            packets.coneAngle = angle > packets.coneAngle ? angle : packets.coneAngle;
        }
        packets.axisX[p] = float(axis[0]);
        packets.axisY[p] = float(axis[1]);
        packets.axisZ[p] = float(axis[2]);
    }
    // The axes are stored in single precision: allow for their rounding.
    packets.coneAngle += 1e-6;
    ++packets.generation;
}
