// The primary ray grid in structure-of-arrays form, eight rays to a packet, for the fast tracer.
#ifndef ZARVO_RAYTRACE_RAY_PACKETS_H
#define ZARVO_RAYTRACE_RAY_PACKETS_H

#include <cstdint>

#include "raytrace/picture_size.h"
#include "raytrace/types.h"

constexpr int kPacketLanes = 8;
constexpr int kPacketCount = kGridCells / kPacketLanes;
constexpr int kPacketGroups = (kPacketCount + 7) / 8; // packets taken eight at a time

// One array per component, aligned for 256-bit loads. `lengthError` is |D|^2 - 1 of each
// direction, computed in double: the fast sphere test uses it to reproduce v.v - (D.v)^2
// without the cancellation that single precision would suffer far from the sphere.
//
// Each packet also has a cone: a unit axis and, for all packets, the largest angle between an
// axis and a direction of its packet. When all rays share one origin, a sphere whose cone
// from there lies well apart from a packet's cone cannot be met by any of its rays' lines.
struct RayPackets {
    alignas(32) float directionX[kGridCells];
    alignas(32) float directionY[kGridCells];
    alignas(32) float directionZ[kGridCells];
    alignas(32) float lengthError[kGridCells];
    alignas(32) float axisX[kPacketGroups * 8];
    alignas(32) float axisY[kPacketGroups * 8];
    alignas(32) float axisZ[kPacketGroups * 8];
    double coneAngle; // radians
    int sharedOrigin; // 1 when every ray starts at `origin`
    Vector origin;
    uint32_t generation; // counts the calls of PackRays, so derived data can tell it is stale
};

// The packed copy of PrimaryRays, refreshed by InitPrimaryRays.
extern RayPackets primaryPackets;

// Copies 4000 rays into packet form.
void PackRays(const Ray* rays, RayPackets& packets);

#endif
