// Everything the fast tracer needs from the scene, worked out once per frame.
#ifndef ZARVO_RAYTRACE_FRAME_CONSTANTS_H
#define ZARVO_RAYTRACE_FRAME_CONSTANTS_H

#include <cstdint>

#include "raytrace/floor_geometry.h"

constexpr int kMaxFastLights = 8;

// One light as the sphere sees it: its position and its colour times the sphere's material.
struct LightConstants {
    float x, y, z;
    float sphereR, sphereG, sphereB; // color * sphereColor * sphereDiffuse
};

// One light as the floor sees it. All rays start at the eye O, so every floor point P lies on
// the plane N.X = 2 N.O - d, and the mirror ray from P meets the plane formula again at
// Q = 2 O + 4 h N - P (h = N.O - d): the light's height N.L - N.X above each of these planes is
// the same at every point. So L - P is (x, y, z) - P for a floor term and (x, y, z) + P for a far
// term, and the colour (times the material and factor) carries that height, which leaves
// height / |L - X| = colour * rsqrt(|L - X|^2) per point. Only lights above the plane in
// question are listed; the others light none of its points.
struct PlaneLight {
    float x, y, z;
    float r, g, b;
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
    float originX, originY, originZ; // the eye, where every primary ray starts
    float centerX, centerY, centerZ;
    float radiusSquared, inverseRadius;
    float radiusSlack;               // radiusSquared * 2^-16, part of the sphere test's margin
    float sphereR, sphereG, sphereB; // sphereColor * ambient
    float planeR, planeG, planeB;    // planeColor * ambient
    float keptR, keptG, keptB;       // the same times (1 - planeReflect)
    float reflect;                   // planeReflect
    SphereCone primaryCone;          // the sphere as the primary rays see it
    SphereCone mirrorCone;           // the sphere mirrored in the floor, for the mirror rays
    const FloorGeometry* floor;
    int32_t lightCount;
    int32_t floorLightCount; // lights above the floor points' plane, weighted for the mix
    int32_t farLightCount;   // lights above the far points' plane
    LightConstants lights[kMaxFastLights];
    PlaneLight
        floorLights[kMaxFastLights];      // colour * planeColor * planeReflect * (1 - planeReflect)
    PlaneLight farLights[kMaxFastLights]; // colour * planeColor * planeReflect
};

// Fills `k` from the global scene (bringing the floor geometry up to date). Returns 0 when the
// scene is outside what the fast tracer is built for (primary rays that do not all start at one
// point, more than kMaxFastLights lights, a radius that is not positive, a plane normal not of
// unit length, values that are not finite): the frame is then traced exactly.
int MakeFrameConstants(FrameConstants& k);

#endif
