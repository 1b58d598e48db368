// Everything the fast tracer needs from the scene, worked out once per frame.
#pragma once

#include <cstdint>

#include "raytrace/floor_geometry.h"

constexpr int MaxFastLights = MaxCachedLights;

// One light: its position, N.position, and its colour multiplied by each material and factor.
struct LightConstants {
    float x, y, z;
    float height;                    // N.position: N.L at a plane point P is height - N.P
    float sphereR, sphereG, sphereB; // color * sphereColor * sphereDiffuse
    float planeR, planeG, planeB;    // color * planeColor * planeReflect
    float keptR, keptG, keptB;       // the same times (1 - planeReflect), for the mix
};

// A packet's rays can be skipped for a sphere when |axis . toward| < cosLimit: then every line
// of the packet passes the sphere by a clear margin. cosLimit -1 skips nothing.
struct SphereCone {
    float towardX, towardY, towardZ;
    float cosLimit;
    // For the mirror cone: packets whose floor points reach further out are always tested.
    float reach;
};

struct FrameConstants {
    float centerX, centerY, centerZ;
    float radiusSquared, inverseRadius;
    float radiusSlack;               // radiusSquared * 2^-16, part of the sphere test's margin
    float sphereR, sphereG, sphereB; // sphereColor * ambient
    float planeR, planeG, planeB;    // planeColor * ambient
    float keptR, keptG, keptB;       // the same times (1 - planeReflect)
    float reflect, keep;             // planeReflect and 1 - planeReflect
    SphereCone primaryCone;          // the sphere as the primary rays see it
    SphereCone mirrorCone;           // the sphere mirrored in the floor, for the mirror rays
    const FloorGeometry* floor;
    int32_t lightCount;
    LightConstants lights[MaxFastLights];
};

// Fills `k` from the global scene (bringing the floor geometry up to date). Returns 0 when the
// scene is outside what the fast tracer is built for (more than MaxFastLights lights, a radius
// that is not positive, a plane normal not of unit length, values that are not finite): the
// frame is then traced exactly.
int MakeFrameConstants(FrameConstants& k);
