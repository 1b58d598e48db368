// The SIMD render path on processors this build has none for: the portable path does the work.
#include "raytrace/render_paths.h"

const RenderPath* SimdRenderPath() {
    return nullptr;
}
