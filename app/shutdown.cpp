// Shutdown: music first, then the display, then the light array, in the order start-up made them.
#include "app/shutdown.h"

#include <cstdlib>

#include "display/display_setup.h"
#include "music/music.h"
#include "raytrace/scene.h"

void Shutdown() {
    // The music goes first so the sync callback is gone before anything else is released.
    ShutdownMusic();
    ReleaseDisplay();
    if (scene.lights != nullptr) {
        std::free(scene.lights);
        scene.lights = nullptr;
    }
}
