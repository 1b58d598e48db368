// The exact per-ray tracer: sphere first, then the floor plane with one mirror bounce.
#ifndef ZARVO_RAYTRACE_TRACE_RAY_H
#define ZARVO_RAYTRACE_TRACE_RAY_H

#include <cstdint>

#include "raytrace/types.h"

// The colour seen along `ray` in the global scene; `ray.direction` must have unit length.
// depth is 0 for a primary ray and 1 for the plane's mirror ray (which spawns no further ray).
// Every channel of the result is at most 1.0; nothing is raised from below. Reads the scene
// only, so the scene must not change while a frame is traced.
Color TraceRay(const Ray& ray, uint32_t depth);

// The cap: compares the channel's bit pattern, read as a signed integer, with that of 1.0, so
// that a NaN with a clear sign bit becomes 1.0 and a negative value is never touched.
float CapChannel(float value);

#endif
