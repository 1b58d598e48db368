// The primary ray grid: one ray per cell of an image plane 40 units in front of the eye.
#include "raytrace/primary_rays.h"

#include <cmath>

#include "raytrace/ray_packets.h"

Ray PrimaryRays[kGridCells];

void InitPrimaryRays() {
    for (int i = 0; i < kGridRows; ++i) {
        for (int j = 0; j < kGridColumns; ++j) {
            const float x = static_cast<float>(j - 40);
            const float y = static_cast<float>(i - 25);
            const double s = 1.0 / std::sqrt(double(x) * x + double(y) * y + 1600.0);
            Ray& ray = PrimaryRays[i * kGridColumns + j];
            ray.origin = {0.0f, 0.0f, -40.0f};
            ray.direction = {static_cast<float>(x * s), static_cast<float>(y * s),
                             static_cast<float>(40.0 * s)};
        }
    }
    PackRays(PrimaryRays, primaryPackets);
}
