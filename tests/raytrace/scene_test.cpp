// The scene defaults and the primary ray grid.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "raytrace/primary_rays.h"
#include "raytrace/scene.h"
#include "tests/raytrace/scene_fixture.h"

static uint32_t Bits(float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

using SceneDefaults = DefaultScene;

TEST_F(SceneDefaults, PlaneSphereAndAmbientHaveTheirDefaults) {
    EXPECT_EQ(scene.planeNormal.x, 0.0f);
    EXPECT_EQ(scene.planeNormal.y, -1.0f);
    EXPECT_EQ(scene.planeNormal.z, 0.0f);
    EXPECT_EQ(scene.planeDistance, 30.0f);
    EXPECT_EQ(scene.planeReflect, 0.5f);
    EXPECT_EQ(Bits(scene.planeColor.r), 0x3F4CCCCDu);
    EXPECT_EQ(scene.planeColor.g, 1.0f);
    EXPECT_EQ(Bits(scene.planeColor.b), 0x3F4CCCCDu);
    EXPECT_EQ(scene.sphereCenter.x, 0.0f);
    EXPECT_EQ(scene.sphereCenter.y, 0.0f);
    EXPECT_EQ(scene.sphereCenter.z, 40.0f);
    EXPECT_EQ(scene.sphereRadius, 10.0f);
    EXPECT_EQ(scene.sphereDiffuse, 1.0f);
    EXPECT_EQ(scene.sphereColor.r, 0.5f);
    EXPECT_EQ(scene.sphereColor.g, 1.0f);
    EXPECT_EQ(scene.sphereColor.b, 1.0f);
    EXPECT_EQ(Bits(scene.ambient.r), 0x3DCCCCCDu);
    EXPECT_EQ(Bits(scene.ambient.g), 0x3DCCCCCDu);
    EXPECT_EQ(Bits(scene.ambient.b), 0x3DCCCCCDu);
}

TEST_F(SceneDefaults, TwoLightsBlueAtOriginRedDownTheYAxis) {
    ASSERT_NE(scene.lights, nullptr);
    ASSERT_EQ(scene.lightCount, 2);
    const Light& blue = scene.lights[0];
    EXPECT_EQ(blue.position.x, 0.0f);
    EXPECT_EQ(blue.position.y, 0.0f);
    EXPECT_EQ(blue.position.z, 0.0f);
    EXPECT_EQ(blue.color.r, 0.0f);
    EXPECT_EQ(blue.color.g, 0.0f);
    EXPECT_EQ(blue.color.b, 1.0f);
    const Light& red = scene.lights[1];
    EXPECT_EQ(red.position.x, 0.0f);
    EXPECT_EQ(red.position.y, 25.0f);
    EXPECT_EQ(red.position.z, 0.0f);
    EXPECT_EQ(red.color.r, 1.0f);
    EXPECT_EQ(red.color.g, 0.0f);
    EXPECT_EQ(red.color.b, 0.0f);
}

TEST(SceneLayout, FieldsAreThirtyTwoBitAndInTheirOrder) {
    EXPECT_EQ(sizeof(Vector), 12u);
    EXPECT_EQ(sizeof(Color), 12u);
    EXPECT_EQ(sizeof(Ray), 24u);
    EXPECT_EQ(sizeof(Light), 24u);
    EXPECT_EQ(offsetof(Scene, planeNormal), 0u);
    EXPECT_EQ(offsetof(Scene, planeDistance), 12u);
    EXPECT_EQ(offsetof(Scene, planeReflect), 16u);
    EXPECT_EQ(offsetof(Scene, planeColor), 20u);
    EXPECT_EQ(offsetof(Scene, sphereCenter), 32u);
    EXPECT_EQ(offsetof(Scene, sphereRadius), 44u);
    EXPECT_EQ(offsetof(Scene, sphereDiffuse), 48u);
    EXPECT_EQ(offsetof(Scene, sphereColor), 52u);
    EXPECT_EQ(offsetof(Scene, lightCount), 64u);
    EXPECT_EQ(offsetof(Scene, ambient), 68u);
    EXPECT_LT(offsetof(Scene, ambient), offsetof(Scene, lights));
}

// The corner and centre rays of the grid, against their unnormalised image-plane directions.
TEST(PrimaryRayGrid, CornersPointAtTheirCellsAndCentreLooksStraightAhead) {
    InitPrimaryRays();
    struct Cell {
        int column, row;
        double x, y;
    };
    const Cell cells[] = {{0, 0, -40, -25}, {79, 0, 39, -25}, {0, 49, -40, 24}, {79, 49, 39, 24}};
    for (const Cell& cell : cells) {
        const double length = std::sqrt(cell.x * cell.x + cell.y * cell.y + 1600.0);
        const Vector& d = PrimaryRays[cell.row * 80 + cell.column].direction;
        EXPECT_NEAR(d.x, cell.x / length, 1e-6) << cell.column << "," << cell.row;
        EXPECT_NEAR(d.y, cell.y / length, 1e-6) << cell.column << "," << cell.row;
        EXPECT_NEAR(d.z, 40.0 / length, 1e-6) << cell.column << "," << cell.row;
    }
    EXPECT_NEAR(PrimaryRays[0].direction.x, -0.647, 5e-4);
    EXPECT_NEAR(PrimaryRays[0].direction.y, -0.404, 5e-4);
    EXPECT_NEAR(PrimaryRays[3999].direction.z, 0.658, 5e-4);
    const Vector& ahead = PrimaryRays[25 * 80 + 40].direction;
    EXPECT_EQ(ahead.x, 0.0f);
    EXPECT_EQ(ahead.y, 0.0f);
    EXPECT_EQ(ahead.z, 1.0f);
}

TEST(PrimaryRayGrid, EveryRayStartsAtTheEyeWithUnitDirection) {
    InitPrimaryRays();
    for (int i = 0; i < 4000; ++i) {
        const Ray& ray = PrimaryRays[i];
        ASSERT_EQ(ray.origin.x, 0.0f) << i;
        ASSERT_EQ(ray.origin.y, 0.0f) << i;
        ASSERT_EQ(ray.origin.z, -40.0f) << i;
        const Vector& d = ray.direction;
        const double length = std::sqrt(double(d.x) * d.x + double(d.y) * d.y + double(d.z) * d.z);
        ASSERT_NEAR(length, 1.0, 2e-7) << i;
        // Row by row: x grows with the column, y with the row.
        EXPECT_EQ(d.x < 0.0f, i % 80 < 40) << i;
        EXPECT_EQ(d.y < 0.0f, i / 80 < 25) << i;
    }
}
