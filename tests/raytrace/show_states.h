// Scene states as the show produces them: sphere placed by the sync count, light 1 turned by
// 0.1 rad per frame, and the fade's 0.8 per frame. Shared by the equivalence tests and benchmarks.
#ifndef ZARVO_TESTS_RAYTRACE_SHOW_STATES_H
#define ZARVO_TESTS_RAYTRACE_SHOW_STATES_H

#include <cmath>
#include <initializer_list>
#include <cstdint>

#include "raytrace/scene.h"

namespace show_states {

// Places the sphere for sync count t, with the show's single-precision constants.
inline void PlaceSphere(uint32_t t) {
    const double count = double(t);
    const double piOver32 = double(0.09817477f); // 0x3DC90FDB
    const double piOver2 = double(1.5707964f);   // 0x3FC90FDB
    scene.sphereCenter.x = float(30.0 * std::sin(count * 0.015625));
    scene.sphereCenter.y = float(20.0 * std::fabs(std::sin(count * piOver32 + piOver2)));
    scene.sphereCenter.z = float(60.0 * std::sin(count * 0.0078125) + 45.0);
}

// Turns light 1 by +0.1 rad about the z axis, both new values from the old x and y.
inline void TurnLight() {
    Vector& p = scene.lights[1].position;
    const double c = std::cos(0.1);
    const double s = std::sin(0.1);
    const double x = p.x;
    const double y = p.y;
    p.x = float(x * c - y * s);
    p.y = float(x * s + y * c);
}

// One fade step: ambient and both light colours times 0.8, rounded to single precision.
inline void Fade() {
    for (Color* c : {&scene.ambient, &scene.lights[0].color, &scene.lights[1].color}) {
        c->r = float(double(c->r) * double(0.8f));
        c->g = float(double(c->g) * double(0.8f));
        c->b = float(double(c->b) * double(0.8f));
    }
}

} // namespace show_states

#endif
