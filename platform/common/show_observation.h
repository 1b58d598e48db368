// What a backend may know of the show it plays: the phase of the frame being made, the clock it
// was decided at and the light's turns (the show's own record of them).
//
//   ObserveShow  the show's record as it stands: during a presentation, that frame's phase,
//                clock and turns; before the first frame, the opening at 0 with no turn
//   PhaseName    the phase in words, as the capture's CSV and the study's figures name it:
//                "opening", "main", "fade" or "hold"
// show_observation.cpp is the one file of the platform that reads the intro's state: a backend
// that observes the show (the capture, the web page, zarvo's frame log) links it
// (zarvo_show_observation), and includes nothing of the intro itself. Main thread only.
#ifndef ZARVO_PLATFORM_COMMON_SHOW_OBSERVATION_H
#define ZARVO_PLATFORM_COMMON_SHOW_OBSERVATION_H

#include <cstdint>

namespace platform {

enum class Phase { opening, main, fade, hold };

struct ShowObservation {
    Phase phase = Phase::opening;
    std::uint32_t clock = 0;      // the sync count the frame is drawn at
    std::uint32_t lightTurns = 0; // the light's turns before the frame was rendered
};

ShowObservation ObserveShow();

inline const char* PhaseName(Phase phase) {
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

} // namespace platform

#endif
