// What the capture observes of the show, to name the phase of each frame (frame_phase.h).
//
//   ObserveShow  the sphere's x and z, light 0's blue and the show's clock at its last main
//                frame, as the show holds them at the moment of the call
// show_observation.cpp is the one file of the capture that reads the intro's state. It is linked
// only into the program zarvo-capture, so the capture backend itself includes nothing of the
// intro; everything else a frame's row needs (the count of sync events, whether the frame was
// rendered) is the platform's own knowledge. Main thread only.
#ifndef ZARVO_PLATFORM_CAPTURE_SHOW_OBSERVATION_H
#define ZARVO_PLATFORM_CAPTURE_SHOW_OBSERVATION_H

#include <cstdint>

namespace capture {

struct ShowObservation {
    float sphereX = 0.0f;
    float sphereZ = 0.0f;
    float lightBlue = 0.0f; // 0 while the scene has no lights
    std::uint32_t lastMainTick = 0;
};

ShowObservation ObserveShow();

} // namespace capture

#endif
