// The capture's one look at the intro's state: the scene record and the show's clock.
#include "show_observation.h"

#include "raytrace/scene.h"
#include "show/show_frame.h"

namespace capture {

ShowObservation ObserveShow() {
    ShowObservation seen;
    seen.sphereX = scene.sphereCenter.x;
    seen.sphereZ = scene.sphereCenter.z;
    seen.lightBlue = scene.lights != nullptr && scene.lightCount > 0 ? scene.lights[0].color.b
                                                                       : 0.0f;
    seen.lastMainTick = lastMainTick;
    return seen;
}

} // namespace capture
