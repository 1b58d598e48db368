// The global scene record and its defaults.
#include "raytrace/scene.h"

#include <cstdlib>

Scene scene;

int InitScene() {
    scene.planeNormal = {0.0f, -1.0f, 0.0f};
    scene.planeDistance = 30.0f;
    scene.planeReflect = 0.5f;
    scene.planeColor = {0.8f, 1.0f, 0.8f};
    scene.sphereCenter = {0.0f, 0.0f, 40.0f};
    scene.sphereRadius = 10.0f;
    scene.sphereDiffuse = 1.0f;
    scene.sphereColor = {0.5f, 1.0f, 1.0f};
    scene.lightCount = 0;
    scene.ambient = {0.1f, 0.1f, 0.1f};

    auto* lights = static_cast<Light*>(std::malloc(2 * sizeof(Light)));
    scene.lights = lights;
    if (lights == nullptr) {
        return 0;
    }
    lights[0] = {{0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 1.0f}};  // blue, at the origin
    lights[1] = {{0.0f, 25.0f, 0.0f}, {1.0f, 0.0f, 0.0f}}; // red, 25 units down the y axis
    scene.lightCount = 2;
    return 1;
}
