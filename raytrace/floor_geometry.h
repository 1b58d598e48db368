// Where each primary ray meets the floor and where its mirror ray goes: the same in every
// frame while the plane and the rays stay, so it is worked out only when one of them changes.
#ifndef ZARVO_RAYTRACE_FLOOR_GEOMETRY_H
#define ZARVO_RAYTRACE_FLOOR_GEOMETRY_H

#include <cstdint>

#include "raytrace/ray_packets.h"

// Per ray, for the rays that meet the plane (garbage elsewhere): the floor point P, the mirror
// direction R and its |R|^2 - 1. Per packet, lane bits: `floorBits` for N.D < 0, `farBits` for
// N.R < 0 as well (the mirror ray goes on to meet the plane formula again). All of it is
// computed with exactly the expressions of TraceRay, so the decisions and points are bit for bit
// those of the exact tracer.
struct FloorGeometry {
    alignas(32) float pointX[kGridCells];
    alignas(32) float pointY[kGridCells];
    alignas(32) float pointZ[kGridCells];
    alignas(32) float mirrorX[kGridCells];
    alignas(32) float mirrorY[kGridCells];
    alignas(32) float mirrorZ[kGridCells];
    alignas(32) float mirrorLengthError[kGridCells];
    uint8_t floorBits[kPacketCount];
    uint8_t farBits[kPacketCount];
    // Per eight packets from 8 * n, bit i for packet 8 * n + i when all its lanes meet the floor
    // and go on to the plane (floorBits and farBits both full).
    uint8_t fullGroupBits[kPacketGroups];
    // The largest coordinate of a floor point in each packet. A ray nearly parallel to the
    // plane meets it so far out that the rounding of P moves its mirror line visibly off the
    // reflected primary line, which the mirror cone test assumes.
    alignas(32) float reach[kPacketGroups * 8];
    int firstFloorPacket; // packets before it have no lane that meets the plane
    uint32_t generation;  // changes whenever the geometry is recomputed
};

// The geometry of PrimaryRays for the scene's current plane, recomputed when the plane or the
// rays (primaryPackets.generation) have changed since the last call.
const FloorGeometry& CurrentFloorGeometry();

#endif
