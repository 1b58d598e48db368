// The program's icon, drawn in code: a red sphere with a highlight over a blue and white floor.
#include "resources/zarvo_icon.h"

#include <algorithm>
#include <cmath>

static std::uint32_t Pack(double r, double g, double b) {
    const auto channel = [](double v) {
        return static_cast<std::uint32_t>(std::clamp(v, 0.0, 1.0) * 255.0);
    };
    return 0xFF000000u | (channel(r) << 16) | (channel(g) << 8) | channel(b);
}

void DrawZarvoIcon(std::uint32_t* pixels) {
    constexpr double centreX = 15.5;
    constexpr double centreY = 13.0;
    constexpr double radius = 10.5;
    for (int y = 0; y < kZarvoIconSize; ++y) {
        for (int x = 0; x < kZarvoIconSize; ++x) {
            std::uint32_t pixel = 0; // transparent sky
            if (y >= 22) {
                // The floor: a chequer that narrows towards the horizon.
                const double depth = (y - 21.0) / 10.0;
                const int cell =
                    static_cast<int>(std::floor((x - 16.0) / (4.0 * depth + 1.0))) + (y - 22) / 3;
                pixel = (cell & 1) != 0 ? Pack(0.2, 0.3, 0.8) : Pack(0.9, 0.9, 1.0);
            }
            const double dx = (x + 0.5 - centreX) / radius;
            const double dy = (y + 0.5 - centreY) / radius;
            const double d2 = dx * dx + dy * dy;
            if (d2 <= 1.0) {
                // Lambert light from the upper left, plus a white highlight.
                const double dz = std::sqrt(1.0 - d2);
                const double light = std::max(0.0, (-dx * 0.5 - dy * 0.6 + dz * 0.62));
                const double shine = std::pow(std::max(0.0, light), 24.0);
                pixel = Pack(0.15 + 0.85 * light + shine, 0.05 + 0.2 * light + shine,
                             0.05 + 0.15 * light + shine);
            }
            pixels[y * kZarvoIconSize + x] = pixel;
        }
    }
}
