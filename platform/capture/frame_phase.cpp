// The phase of a captured frame, from its trace.
#include "frame_phase.h"

namespace capture {

const char* PhaseName(Phase phase) {
    switch (phase) {
    case Phase::opening:
        return "opening";
    case Phase::main:
        return "main";
    case Phase::fade:
        return "fade";
    case Phase::hold:
        return "hold";
    }
    return "unknown";
}

Phase ClassifyFrame(const FrameTrace& trace) {
    if (!trace.locked) {
        return Phase::opening;
    }
    if (trace.lightBlueEnd < trace.lightBlueStart) {
        return Phase::fade;
    }
    // Bit-exact comparisons: any placement that moves the sphere changes the stored floats.
    const bool moved =
        trace.sphereXEnd != trace.sphereXStart || trace.sphereZEnd != trace.sphereZStart;
    if (moved || trace.syncCount == trace.lastMainTickStart) {
        return Phase::main;
    }
    return Phase::hold;
}

} // namespace capture
