// The exact tracer: rays with hand-computed colours and the edge cases of the sphere, plane, lights
// and cap.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include "raytrace/render_frame.h"
#include "raytrace/trace_ray.h"
#include "tests/raytrace/scene_fixture.h"

static void ExpectColor(const Color& c, double r, double g, double b, double tolerance = 1e-3) {
    EXPECT_NEAR(c.r, r, tolerance);
    EXPECT_NEAR(c.g, g, tolerance);
    EXPECT_NEAR(c.b, b, tolerance);
}

static Ray MakeRay(Vector origin, Vector direction) {
    const double length =
        std::sqrt(double(direction.x) * direction.x + double(direction.y) * direction.y +
                  double(direction.z) * direction.z);
    return {
        origin,
        {float(direction.x / length), float(direction.y / length), float(direction.z / length)}};
}

static const Ray& RayAt(int column, int row) {
    return PrimaryRays[row * 80 + column];
}

using TraceRayTest = DefaultScene;

TEST_F(TraceRayTest, StraightAheadHitsTheSphereFrontAndCapsBlue) {
    const Color c = TraceRay(RayAt(40, 25), 0);
    ExpectColor(c, 0.05 + 0.5 * 30.0 / std::sqrt(625.0 + 900.0), 0.1, 1.0);
    EXPECT_EQ(c.b, 1.0f); // 1.1 capped to exactly 1.0
    EXPECT_EQ(PackColor(c), (110u << 16) | (25u << 8) | 255u);
}

TEST_F(TraceRayTest, FloorRayMixesLocalShadingWithItsMirrorRay) {
    const Ray& ray = RayAt(60, 45);
    ExpectColor(TraceRay(ray, 1), 0.135, 0.1, 0.336); // depth 1: local shading only
    const Color c = TraceRay(ray, 0);
    ExpectColor(c, 0.213, 0.1, 0.339);
    EXPECT_EQ(PackColor(c), (54u << 16) | (25u << 8) | 86u);
}

TEST_F(TraceRayTest, MirrorRayGoesThroughThePlaneToTheFormulasFarPoint) {
    // The mirror ray of the floor example starts at (30, 30, 20) along (-1, 1, -2)/sqrt(6) and
    // meets the plane formula at (-30, 90, -100); its shading there is about (0.291, 0.1, 0.341).
    const Ray mirror = MakeRay({30.0f, 30.0f, 20.0f}, {-1.0f, 1.0f, -2.0f});
    ExpectColor(TraceRay(mirror, 1), 0.291, 0.1, 0.341);
}

TEST_F(TraceRayTest, RaysParallelToOrLeavingThePlaneAreBlack) {
    for (const Vector& d : {Vector{1, 0, 0}, Vector{0, -1, 1}, Vector{0.3f, -0.2f, -1}}) {
        const Color c = TraceRay(MakeRay({0, 0, -40}, d), 0);
        EXPECT_EQ(c.r, 0.0f);
        EXPECT_EQ(c.g, 0.0f);
        EXPECT_EQ(c.b, 0.0f);
    }
    // The upper half of the grid sees only the sphere.
    for (int row = 0; row <= 25; ++row) {
        const Color c = TraceRay(RayAt(0, row), 0);
        EXPECT_EQ(PackColor(c), 0u) << row;
    }
}

TEST_F(TraceRayTest, TangentRayMissesWhileOneJustInsideHits) {
    // From (10, 0, -40) along +z: b = -160, k = 6400, disc exactly 0; the plane is parallel.
    const Color tangent = TraceRay({{10.0f, 0.0f, -40.0f}, {0.0f, 0.0f, 1.0f}}, 0);
    EXPECT_EQ(PackColor(tangent), 0u);
    const Color inside = TraceRay({{9.5f, 0.0f, -40.0f}, {0.0f, 0.0f, 1.0f}}, 0);
    EXPECT_GT(inside.g, 0.09f);
}

TEST_F(TraceRayTest, SphereBehindTheOriginOrAroundItIsHitAtTheSmallerRoot) {
    const Color front = TraceRay(RayAt(40, 25), 0);
    // Behind: from (0, 0, 100) along +z the smaller root is t = -70, the same point (0, 0, 30).
    const Color behind = TraceRay({{0.0f, 0.0f, 100.0f}, {0.0f, 0.0f, 1.0f}}, 0);
    // Inside: from the centre the smaller root is t = -10, again (0, 0, 30).
    const Color inside = TraceRay({{0.0f, 0.0f, 40.0f}, {0.0f, 0.0f, 1.0f}}, 0);
    for (const Color& c : {behind, inside}) {
        EXPECT_EQ(c.r, front.r);
        EXPECT_EQ(c.g, front.g);
        EXPECT_EQ(c.b, front.b);
    }
}

TEST_F(TraceRayTest, WithoutLightsOnlyAmbientRemains) {
    scene.lightCount = 0;
    ExpectColor(TraceRay(RayAt(40, 25), 0), 0.05, 0.1, 0.1, 1e-6);
    ExpectColor(TraceRay(RayAt(60, 45), 0), 0.08, 0.1, 0.08, 1e-6);
}

TEST_F(TraceRayTest, LightsInTheTangentPlaneOrBehindTheSurfaceAddNothing) {
    // The straight-ahead hit is (0, 0, 30) with normal (0, 0, -1).
    scene.lights[0].position = {5.0f, 0.0f, 30.0f}; // n.L = 0
    scene.lights[1].position = {0.0f, 0.0f, 50.0f}; // behind
    ExpectColor(TraceRay(RayAt(40, 25), 0), 0.05, 0.1, 0.1, 1e-6);
}

TEST_F(TraceRayTest, CapLowersOnlyAboveOneAndNeverRaises) {
    EXPECT_EQ(CapChannel(1.0f), 1.0f);
    EXPECT_EQ(CapChannel(std::nextafter(1.0f, 2.0f)), 1.0f);
    EXPECT_EQ(CapChannel(3.5f), 1.0f);
    EXPECT_EQ(CapChannel(std::numeric_limits<float>::infinity()), 1.0f);
    EXPECT_EQ(CapChannel(0.25f), 0.25f);
    EXPECT_EQ(CapChannel(-7.0f), -7.0f);
    EXPECT_EQ(CapChannel(std::numeric_limits<float>::quiet_NaN()), 1.0f);
    EXPECT_TRUE(std::isnan(CapChannel(-std::numeric_limits<float>::quiet_NaN())));

    scene.lightCount = 0;
    scene.ambient = {-0.5f, 2.0f, 1.0f};
    scene.sphereColor = {1.0f, 1.0f, 1.0f};
    const Color c = TraceRay(RayAt(40, 25), 0);
    EXPECT_EQ(c.r, -0.5f);
    EXPECT_EQ(c.g, 1.0f);
    EXPECT_EQ(c.b, 1.0f);
}

TEST(PackColorTest, TruncatesAndKeepsChannelsApart) {
    EXPECT_EQ(PackColor({1.0f, 1.0f, 1.0f}), 0x00FFFFFFu);
    EXPECT_EQ(PackColor({0.0f, 0.0f, 0.0f}), 0u);
    EXPECT_EQ(PackColor({0.999f, 0.5f, 0.1f}), (254u << 16) | (127u << 8) | 25u);
    // Out-of-range channels (a negative ambient, a NaN) stay inside their own byte.
    EXPECT_EQ(PackColor({-0.5f, 1.0f, 0.0f}), 0x0000FF00u);
    EXPECT_EQ(PackColor({0.0f, -std::numeric_limits<float>::quiet_NaN(), 2.0f}), 0x000000FFu);
}
