// The primary ray grid in structure-of-arrays form, eight rays to a packet, for the fast tracer.
#pragma once

#include "raytrace/types.h"

constexpr int PacketLanes = 8;
constexpr int PacketCount = 4000 / PacketLanes;

// One array per component, aligned for 256-bit loads. `lengthError` is |D|^2 - 1 of each
// direction, computed in double: the fast sphere test uses it to reproduce v.v - (D.v)^2
// without the cancellation that single precision would suffer far from the sphere.
struct RayPackets {
    alignas(32) float originX[4000];
    alignas(32) float originY[4000];
    alignas(32) float originZ[4000];
    alignas(32) float directionX[4000];
    alignas(32) float directionY[4000];
    alignas(32) float directionZ[4000];
    alignas(32) float lengthError[4000];
};

// The packed copy of PrimaryRays, refreshed by InitPrimaryRays.
extern RayPackets primaryPackets;

// Copies 4000 rays into packet form.
void PackRays(const Ray* rays, RayPackets& packets);
