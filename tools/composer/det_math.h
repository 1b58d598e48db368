// Deterministic maths for sound synthesis: sine, exponentials and logarithms built from IEEE basic
// operations only, so the same song gives the same bytes whatever the platform's libm does.
#ifndef ZARVO_TOOLS_COMPOSER_DET_MATH_H
#define ZARVO_TOOLS_COMPOSER_DET_MATH_H

#include <cstdint>

namespace compose {

constexpr double kPi = 3.14159265358979323846;

// sin(2*pi*turns) for any finite turns; error below 1e-12.
double SineTurns(double turns);

// e^x for |x| < 700; relative error below 1e-14.
double Exp(double x);

// 2^x for |x| < 1000.
double Exp2(double x);

// log2(x) for x > 0; absolute error below 1e-12.
double Log2(double x);

// Round half away from zero to the nearest integer.
int64_t RoundToInt(double x);

// A small, fast, fully specified pseudo-random generator (xorshift32); never yields 0.
struct Noise {
    uint32_t state = 0x9E3779B9u;
    // A value evenly spread over [-1, 1).
    double Next();
};

} // namespace compose

#endif
