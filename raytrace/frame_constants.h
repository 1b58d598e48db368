// Everything the fast tracer needs from the scene, worked out once per frame.
#pragma once

#include <cstdint>

constexpr int MaxFastLights = 8;

// One light: its position and its colour already multiplied by each material and factor.
struct LightConstants {
    float x, y, z;
    float sphereR, sphereG, sphereB; // color * sphereColor * sphereDiffuse
    float planeR, planeG, planeB;    // color * planeColor * planeReflect
    // N.pos + d and N.pos + 3d: N.L at a floor hit is floorLit - 2 O.N and at the point a
    // mirror ray reaches farLit - 4 O.N, for a primary ray from O (the plane formula puts the
    // hit at P.N = 2 O.N - d), so the lit test needs no hit point.
    float floorLit, farLit;
};

struct FrameConstants {
    float centerX, centerY, centerZ;
    float radius, radiusSquared, inverseRadius;
    float radiusSlack;               // radiusSquared * 2^-16, part of the sphere test's margin
    float sphereR, sphereG, sphereB; // sphereColor * ambient
    float normalX, normalY, normalZ;
    float distance;
    float normalError;            // |N|^2 - 1
    float planeR, planeG, planeB; // planeColor * ambient
    float reflect, keep;          // planeReflect and 1 - planeReflect
    int32_t lightCount;
    LightConstants lights[MaxFastLights];
};

// Fills `k` from the global scene. Returns 0 when the scene is outside what the fast tracer
// is built for (more than MaxFastLights lights, a radius that is not positive, a plane normal
// that is not of unit length, values that are not finite): the frame is then traced exactly.
int MakeFrameConstants(FrameConstants& k);
