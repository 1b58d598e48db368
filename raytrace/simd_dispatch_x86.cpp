// Run-time choice of the SIMD render path on x86-64: AVX2 and FMA when the processor has them.
#include "raytrace/render_paths.h"

const RenderPath* SimdRenderPath() {
    // The compiler's feature test also checks that the system saves the AVX registers.
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma")) {
        return &avx2RenderPath;
    }
    return nullptr;
}
