// The program's icon, drawn in code: a red sphere with a highlight over a blue and white floor.
#include "zarvo_icon.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace platform {

namespace {

struct Colour {
    double r = 0.0;
    double g = 0.0;
    double b = 0.0;
    double a = 0.0; // 0: transparent sky
};

std::uint32_t Pack(const Colour& c) {
    const auto channel = [](double v) {
        return static_cast<std::uint32_t>(std::clamp(v, 0.0, 1.0) * 255.0);
    };
    return (channel(c.a) << 24) | (channel(c.r) << 16) | (channel(c.g) << 8) | channel(c.b);
}

// The picture at a point of the 32-unit icon square (x to the right, y down, both from its
// top-left corner). At whole numbers it gives the 32x32 resource's pixels.
Colour Shade(double x, double y) {
    constexpr double centreX = 15.5;
    constexpr double centreY = 13.0;
    constexpr double radius = 10.5;
    Colour colour; // transparent sky
    if (y >= 22.0) {
        // The floor: a chequer that narrows towards the horizon.
        const double depth = (y - 21.0) / 10.0;
        const int cell = static_cast<int>(std::floor((x - 16.0) / (4.0 * depth + 1.0))) +
                         static_cast<int>(std::floor((y - 22.0) / 3.0));
        colour = (cell & 1) != 0 ? Colour{0.2, 0.3, 0.8, 1.0} : Colour{0.9, 0.9, 1.0, 1.0};
    }
    const double dx = (x + 0.5 - centreX) / radius;
    const double dy = (y + 0.5 - centreY) / radius;
    const double d2 = dx * dx + dy * dy;
    if (d2 <= 1.0) {
        // Lambert light from the upper left, plus a white highlight.
        const double dz = std::sqrt(1.0 - d2);
        const double light = std::max(0.0, (-dx * 0.5 - dy * 0.6 + dz * 0.62));
        const double shine = std::pow(std::max(0.0, light), 24.0);
        colour = Colour{0.15 + 0.85 * light + shine, 0.05 + 0.2 * light + shine,
                        0.05 + 0.15 * light + shine, 1.0};
    }
    return colour;
}

} // namespace

void DrawZarvoIcon(std::uint32_t* pixels) {
    for (int y = 0; y < kZarvoIconSize; ++y) {
        for (int x = 0; x < kZarvoIconSize; ++x) {
            pixels[y * kZarvoIconSize + x] = Pack(Shade(x, y));
        }
    }
}

void DrawZarvoIconAt(int size, std::uint32_t* pixels) {
    // Each pixel averages 4x4 points of its area (colours weighted by their cover), so the
    // larger sizes have smooth edges rather than enlarged 32x32 steps.
    constexpr int kSamples = 4;
    const double unit = static_cast<double>(kZarvoIconSize) / size;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            Colour sum;
            for (int sy = 0; sy < kSamples; ++sy) {
                for (int sx = 0; sx < kSamples; ++sx) {
                    // Point (u, v) of the pixel's area, shifted so that pixel centres line up
                    // with the 32x32 resource's sample points.
                    const double u = (x + (sx + 0.5) / kSamples) * unit - 0.5;
                    const double v = (y + (sy + 0.5) / kSamples) * unit - 0.5;
                    const Colour c = Shade(u, v);
                    sum.r += c.r * c.a;
                    sum.g += c.g * c.a;
                    sum.b += c.b * c.a;
                    sum.a += c.a;
                }
            }
            Colour average;
            if (sum.a > 0.0) {
                average = Colour{sum.r / sum.a, sum.g / sum.a, sum.b / sum.a,
                                 sum.a / (kSamples * kSamples)};
            }
            pixels[y * size + x] = Pack(average);
        }
    }
}

} // namespace platform
