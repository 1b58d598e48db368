// Deterministic maths: every function below uses only +, -, *, / and comparisons.
#include "det_math.h"

namespace compose {

namespace {

// sin(x) for |x| <= pi/4 by its Taylor series (terms up to x^15 are far below double precision).
double SinSmall(double x) {
    double x2 = x * x;
    double term = x;
    double sum = x;
    for (int n = 1; n <= 7; ++n) {
        term = -term * x2 / static_cast<double>((2 * n) * (2 * n + 1));
        sum += term;
    }
    return sum;
}

// cos(x) for |x| <= pi/4.
double CosSmall(double x) {
    double x2 = x * x;
    double term = 1.0;
    double sum = 1.0;
    for (int n = 1; n <= 8; ++n) {
        term = -term * x2 / static_cast<double>((2 * n - 1) * (2 * n));
        sum += term;
    }
    return sum;
}

double Floor(double x) {
    double t = static_cast<double>(static_cast<int64_t>(x));
    return t > x ? t - 1.0 : t;
}

} // namespace

double SineTurns(double turns) {
    // Reduce to one turn, then to an eighth of a turn around one of the four axes.
    double t = turns - Floor(turns);
    double octants = t * 8.0;
    int64_t octant = static_cast<int64_t>(Floor(octants + 0.5)); // 0..8, nearest axis point
    double rest = (octants - static_cast<double>(octant)) * (kPi / 4.0);
    switch (octant & 7) {
    case 0:
        return SinSmall(rest);
    case 2:
        return CosSmall(rest);
    case 4:
        return -SinSmall(rest);
    case 6:
        return -CosSmall(rest);
    default:
        break;
    }
    // Odd octants: the nearest axis point is a diagonal (pi/4 + k*pi/2).
    constexpr double kHalfRoot2 = 0.70710678118654752440;
    double s = SinSmall(rest);
    double c = CosSmall(rest);
    switch (octant & 7) {
    case 1:
        return kHalfRoot2 * (c + s);
    case 3:
        return kHalfRoot2 * (c - s);
    case 5:
        return -kHalfRoot2 * (c + s);
    default:
        return -kHalfRoot2 * (c - s);
    }
}

double Exp(double x) {
    // e^x = 2^k * e^r with |r| <= ln2/2, then a Taylor series for e^r.
    constexpr double kLn2 = 0.69314718055994530942;
    double kf = Floor(x / kLn2 + 0.5);
    double r = x - kf * kLn2;
    double term = 1.0;
    double sum = 1.0;
    for (int n = 1; n <= 20; ++n) {
        term = term * r / static_cast<double>(n);
        sum += term;
    }
    int64_t k = static_cast<int64_t>(kf);
    double scale = 1.0;
    double two = k >= 0 ? 2.0 : 0.5;
    for (int64_t i = 0; i < (k >= 0 ? k : -k); ++i) {
        scale *= two;
    }
    return sum * scale;
}

double Exp2(double x) {
    constexpr double kLn2 = 0.69314718055994530942;
    return Exp(x * kLn2);
}

double Log2(double x) {
    // x = m * 2^e with m in [1, 2); log2(m) = 2/ln2 * atanh((m-1)/(m+1)) by its series.
    double e = 0.0;
    while (x >= 2.0) {
        x *= 0.5;
        e += 1.0;
    }
    while (x < 1.0) {
        x *= 2.0;
        e -= 1.0;
    }
    double z = (x - 1.0) / (x + 1.0); // 0 <= z < 1/3
    double z2 = z * z;
    double power = z;
    double sum = 0.0;
    for (int n = 0; n < 30; ++n) {
        sum += power / static_cast<double>(2 * n + 1);
        power *= z2;
    }
    constexpr double kTwoOverLn2 = 2.88539008177792681472;
    return e + kTwoOverLn2 * sum;
}

int64_t RoundToInt(double x) {
    return x >= 0.0 ? static_cast<int64_t>(x + 0.5) : -static_cast<int64_t>(-x + 0.5);
}

double Noise::Next() {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return static_cast<double>(state) / 2147483648.0 - 1.0;
}

} // namespace compose
