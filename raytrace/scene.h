// The one global scene: a floor plane, a sphere, the ambient colour and the point lights.
#ifndef ZARVO_RAYTRACE_SCENE_H
#define ZARVO_RAYTRACE_SCENE_H

#include <cstdint>

#include "raytrace/types.h"

// Written by InitScene and, between frames only, by the show (sphere, light 1, the fade); the
// tracer only reads it. `lights` holds `lightCount` records and is freed by Shutdown.
struct Scene {
    Vector planeNormal;  // unit length; the plane is seen only by rays travelling against it
    float planeDistance; // with the normal (0, -1, 0) and 30 the plane is y = 30
    float planeReflect;  // scales the plane's light terms and weights its mirror colour
    Color planeColor;
    Vector sphereCenter;
    float sphereRadius;
    float sphereDiffuse; // scales the sphere's light terms; the sphere does not reflect
    Color sphereColor;
    int32_t lightCount; // never negative
    Color ambient;
    Light* lights; // std::malloc'ed array, or null before InitScene and after Shutdown
};

extern Scene scene;

// Sets every field to its default and allocates the two default lights with std::malloc.
// Returns 1, or 0 when the light array cannot be had: then `lights` stays null and `lightCount`
// is 0 (the other defaults are written all the same), so the tracer never reads a light.
int InitScene();

#endif
