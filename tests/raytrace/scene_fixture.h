// Test fixture: the default scene and primary rays, with the light array freed afterwards.
#ifndef ZARVO_TESTS_RAYTRACE_SCENE_FIXTURE_H
#define ZARVO_TESTS_RAYTRACE_SCENE_FIXTURE_H

#include <cstdlib>

#include <gtest/gtest.h>

#include "raytrace/primary_rays.h"
#include "raytrace/scene.h"

class DefaultScene : public ::testing::Test {
  protected:
    void SetUp() override {
        InitPrimaryRays();
        ASSERT_EQ(InitScene(), 1);
    }
    void TearDown() override {
        std::free(scene.lights);
        scene.lights = nullptr;
        scene.lightCount = 0;
    }
};

#endif
