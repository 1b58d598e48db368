// The platform's one look at the intro's state: the show's record of the frame it makes.
#include "show_observation.h"

#include "show/show_frame.h"

namespace platform {

ShowObservation ObserveShow() {
    ShowObservation seen;
    switch (showRecord.phase) {
    case kPhaseOpening:
        seen.phase = Phase::opening;
        break;
    case kPhaseMain:
        seen.phase = Phase::main;
        break;
    case kPhaseFade:
        seen.phase = Phase::fade;
        break;
    case kPhaseHold:
        seen.phase = Phase::hold;
        break;
    }
    seen.clock = showRecord.clock;
    seen.lightTurns = showRecord.lightTurns;
    return seen;
}

} // namespace platform
