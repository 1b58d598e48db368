// Which phase of the show a presented frame belonged to, judged from what the frame did.
//
// The capture does not ask the show; it watches the platform calls and the scene record:
//   opening  the frame was presented without locking the back surface (text only)
//   fade     light 0 was dimmed between the frame's start and its presentation
//   main     the sphere was placed anew (x or z moved), or the clock still reads the count of
//            the last main frame (a main frame at an unchanged count places the sphere where
//            it already is)
//   hold     a rendered frame that is none of these: the sphere's x and z stay where the main
//            phase left them and nothing dims
// A FrameTrace is filled at the frame's start (the main loop's pass that leads to it) and at
// its presentation.
#ifndef ZARVO_PLATFORM_CAPTURE_FRAME_PHASE_H
#define ZARVO_PLATFORM_CAPTURE_FRAME_PHASE_H

#include <cstdint>

namespace capture {

enum class Phase { opening, main, fade, hold };

const char* PhaseName(Phase phase);

struct FrameTrace {
    // At the frame's start.
    float sphereXStart = 0.0f;
    float sphereZStart = 0.0f;
    float lightBlueStart = 0.0f;
    std::uint32_t lastMainTickStart = 0;
    // During the frame and at its presentation.
    bool locked = false;
    float sphereXEnd = 0.0f;
    float sphereZEnd = 0.0f;
    float lightBlueEnd = 0.0f;
    std::uint32_t syncCount = 0;
};

Phase ClassifyFrame(const FrameTrace& trace);

} // namespace capture

#endif
