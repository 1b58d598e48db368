// The fast renderer against the reference: the show's frames, grazing rays, odd scenes, and
// the enlargement bit for bit, on every render path this processor can run.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "raytrace/frame_constants.h"
#include "raytrace/ray_packets.h"
#include "raytrace/render_frame.h"
#include "raytrace/render_paths.h"
#include "tests/raytrace/scene_fixture.h"
#include "tests/raytrace/show_states.h"

namespace {

std::vector<const RenderPath*> AvailablePaths() {
    std::vector<const RenderPath*> paths = {&portableRenderPath};
    if (SimdRenderPath() != nullptr) {
        paths.push_back(SimdRenderPath());
    }
    return paths;
}

std::string PathName(const ::testing::TestParamInfo<const RenderPath*>& info) {
    std::string name = info.param->name;
    for (char& c : name) {
        if (c == '+') {
            c = '_';
        }
    }
    return name;
}

int ChannelDifference(uint32_t a, uint32_t b) {
    int worst = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const int d = std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF));
        worst = d > worst ? d : worst;
    }
    return worst;
}

class FastRender : public DefaultScene, public ::testing::WithParamInterface<const RenderPath*> {
  protected:
    // Traces the current scene both ways; returns the largest channel difference and counts
    // the cells that differ at all and the rays the fast path traced exactly.
    int CompareFrame(int& differingCells, int& exactRays) {
        TraceFrameReference();
        std::memcpy(reference_, TracedPixels, sizeof reference_);
        FrameConstants k;
        EXPECT_EQ(MakeFrameConstants(k), 1);
        exactRays += GetParam()->trace(k, fast_);
        int worst = 0;
        for (int i = 0; i < 4000; ++i) {
            const int d = ChannelDifference(reference_[i], fast_[i]);
            differingCells += d != 0;
            worst = d > worst ? d : worst;
            // Top bytes must stay clear in every pixel.
            EXPECT_EQ(fast_[i] >> 24, 0u);
        }
        return worst;
    }

    uint32_t reference_[4000];
    uint32_t fast_[4000];
};

TEST_P(FastRender, ShowFramesAgreeWithinOneStepPerChannel) {
    int differing = 0;
    int exact = 0;
    int frames = 0;
    // The main phase: sync counts across the whole show, light 1 turning every frame.
    for (uint32_t f = 0; f < 3000; ++f) {
        show_states::PlaceSphere(3 + f * 5 / 3);
        const int worst = CompareFrame(differing, exact);
        ASSERT_LE(worst, 1) << "main frame " << f;
        show_states::TurnLight();
        ++frames;
    }
    // The fade at several places: dimming by 0.8 per frame while the sphere bounces.
    for (uint32_t start : {4994u, 1200u, 2600u, 3900u}) {
        std::free(scene.lights); // the fade starts from full colours
        ASSERT_EQ(InitScene(), 1);
        show_states::PlaceSphere(start);
        for (uint32_t step = 0; step < 20; ++step) {
            scene.sphereCenter.y = float(
                20.0 *
                std::fabs(std::sin((start + step) * double(0.09817477f) + double(1.5707964f))));
            const int worst = CompareFrame(differing, exact);
            ASSERT_LE(worst, 1) << "fade frame " << step << " from " << start;
            show_states::Fade();
            show_states::TurnLight();
            ++frames;
        }
    }
    // Single precision must give the same picture nearly everywhere, and grazing rays are rare.
    EXPECT_LT(differing, frames * 20) << differing << " cells differ by one step";
    EXPECT_LT(exact, frames * 8) << exact << " rays traced exactly";
}

TEST_P(FastRender, GrazingRaysFollowTheExactHitOrMiss) {
    // Column 40, row 25 looks along +z from (0, 0, -40); a sphere of radius 10 centred at
    // x = 10 is exactly tangent to it. Step the centre across that point in single-float steps.
    float x = 10.0f;
    for (int i = 0; i < 64; ++i) {
        x = std::nextafter(x, 0.0f);
    }
    int exact = 0;
    int differing = 0;
    for (int i = 0; i < 128; ++i) {
        scene.sphereCenter = {x, 0.0f, 40.0f};
        const int worst = CompareFrame(differing, exact);
        ASSERT_LE(worst, 1) << "centre x " << x;
        EXPECT_EQ(ChannelDifference(reference_[25 * 80 + 40], fast_[25 * 80 + 40]), 0) << x;
        x = std::nextafter(x, 20.0f);
    }
    EXPECT_GT(exact, 0);
    // The same through the floor's mirror: move the sphere's foot to graze the mirror rays.
    for (int i = 0; i < 200; ++i) {
        scene.sphereCenter = {0.0f, 5.0f + 0.1f * i, 60.0f};
        ASSERT_LE(CompareFrame(differing, exact), 1) << "centre y " << scene.sphereCenter.y;
    }
}

TEST_P(FastRender, ScenesAwayFromTheShowStillAgree) {
    std::mt19937 random(12345);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    std::uniform_real_distribution<float> spread(-1.0f, 1.0f);
    int differing = 0;
    int exact = 0;
    for (int frame = 0; frame < 300; ++frame) {
        scene.sphereCenter = {60.0f * spread(random), 40.0f * spread(random),
                              80.0f * spread(random) + 40.0f};
        scene.sphereRadius = 2.0f + 30.0f * unit(random);
        scene.lights[0].position = {50.0f * spread(random), 50.0f * spread(random),
                                    50.0f * spread(random)};
        scene.lights[1].position = {50.0f * spread(random), 50.0f * spread(random),
                                    50.0f * spread(random)};
        scene.lights[0].color = {unit(random), unit(random), unit(random)};
        scene.ambient = {0.3f * unit(random), 0.3f * unit(random), 0.3f * unit(random)};
        scene.lightCount = frame % 3;
        ASSERT_LE(CompareFrame(differing, exact), 1) << "scene " << frame;
    }
}

TEST_P(FastRender, OtherPlanesAndRaysAreFollowed) {
    int differing = 0;
    int exact = 0;
    // A tilted floor at another height: the kept floor geometry must be worked out anew.
    const float tilt = 0.2f;
    const double length = std::sqrt(1.0 + double(tilt) * tilt);
    scene.planeNormal = {float(tilt / length), float(-1.0 / length), 0.0f};
    scene.planeDistance = 24.0f;
    for (int i = 0; i < 40; ++i) {
        show_states::PlaceSphere(100 + 37 * i);
        ASSERT_LE(CompareFrame(differing, exact), 1) << "tilted floor, frame " << i;
    }
    scene.planeNormal = {0.0f, -1.0f, 0.0f};
    scene.planeDistance = 30.0f;
    ASSERT_LE(CompareFrame(differing, exact), 1) << "default floor again";

    // Rays from different origins: the packet tracer is built for one common eye, so it declines
    // them and the frame is traced exactly.
    for (int i = 0; i < 4000; ++i) {
        PrimaryRays[i].origin = {float(i % 7) - 3.0f, float(i % 5) - 2.0f, -40.0f};
    }
    PackRays(PrimaryRays, primaryPackets);
    FrameConstants k;
    EXPECT_EQ(MakeFrameConstants(k), 0);
    for (int i = 0; i < 10; ++i) {
        show_states::PlaceSphere(3 + 101 * i);
        show_states::TurnLight();
        TraceFrameReference();
        std::memcpy(reference_, TracedPixels, sizeof reference_);
        TraceFrame();
        ASSERT_EQ(std::memcmp(reference_, TracedPixels, sizeof reference_), 0)
            << "scattered origins, frame " << i;
    }
    // Rays that skim the floor so closely that it is met at infinity.
    InitPrimaryRays();
    for (int column = 0; column < 80; ++column) {
        PrimaryRays[30 * 80 + column].direction = {0.0f, 1e-44f, 1.0f};
    }
    PackRays(PrimaryRays, primaryPackets);
    ASSERT_LE(CompareFrame(differing, exact), 1) << "floor at infinity";
    for (int column = 0; column < 80; ++column) {
        EXPECT_EQ(fast_[30 * 80 + column], reference_[30 * 80 + column]) << column;
    }

    InitPrimaryRays();
    ASSERT_LE(CompareFrame(differing, exact), 1) << "grid restored";
}

INSTANTIATE_TEST_SUITE_P(Paths, FastRender, ::testing::ValuesIn(AvailablePaths()), PathName);

class FastUpscale : public ::testing::TestWithParam<const RenderPath*> {};

TEST_P(FastUpscale, MatchesTheReferenceBitForBitThroughAnyPitch) {
    std::mt19937 random(777);
    for (int pitch : {320, 321, 328, 400}) {
        for (uint32_t& cell : TracedPixels) {
            cell = random() & 0xFFFFFFu;
        }
        std::vector<uint32_t> reference(200 * pitch);
        for (uint32_t& p : reference) {
            p = random();
        }
        std::vector<uint32_t> fast = reference;
        UpscaleFrameReference(reference.data(), pitch);
        GetParam()->upscale(TracedPixels, fast.data(), pitch);
        ASSERT_EQ(fast, reference) << "pitch " << pitch;
    }
}

// Surfaces start wherever their allocator puts them: a path that steers its stores by the
// address must give the same picture from every start within a 64-byte line.
TEST_P(FastUpscale, MatchesTheReferenceFromEveryStartAddress) {
    std::mt19937 random(778);
    for (uint32_t& cell : TracedPixels) {
        cell = random() & 0xFFFFFFu;
    }
    for (int pitch : {320, 324, 328}) {
        for (int start = 0; start < 16; ++start) {
            const size_t size = 200 * size_t(pitch) + 32;
            std::vector<uint32_t> reference(size);
            for (uint32_t& p : reference) {
                p = random();
            }
            std::vector<uint32_t> fast = reference;
            // The data of a vector is at least 16-byte aligned; step from a 64-byte boundary.
            const size_t skip =
                ((64 - reinterpret_cast<uintptr_t>(fast.data()) % 64) / 4 + start) % 16;
            UpscaleFrameReference(reference.data() + skip, pitch);
            GetParam()->upscale(TracedPixels, fast.data() + skip, pitch);
            ASSERT_EQ(fast, reference) << "pitch " << pitch << ", start " << start;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Paths, FastUpscale, ::testing::ValuesIn(AvailablePaths()), PathName);

using FastDispatch = DefaultScene;

TEST_F(FastDispatch, ScenesTheFastTracerIsNotBuiltForAreTracedExactly) {
    std::vector<Light> many(kMaxFastLights + 1, scene.lights[0]);
    for (size_t i = 0; i < many.size(); ++i) {
        many[i].position = {float(i) * 7.0f - 30.0f, -20.0f, 10.0f};
    }
    Light* own = scene.lights;
    scene.lights = many.data();
    scene.lightCount = int32_t(many.size());
    scene.ambient = {0.0f, 0.0f, 0.0f};
    TraceFrame();
    std::vector<uint32_t> fast(TracedPixels, TracedPixels + 4000);
    TraceFrameReference();
    EXPECT_EQ(fast, std::vector<uint32_t>(TracedPixels, TracedPixels + 4000));
    scene.lights = own;
    scene.lightCount = 2;

    scene.planeNormal = {0.0f, -2.0f, 0.0f}; // not of unit length
    FrameConstants k;
    EXPECT_EQ(MakeFrameConstants(k), 0);
    scene.planeNormal = {0.0f, -1.0f, 0.0f};
    scene.sphereRadius = 0.0f;
    EXPECT_EQ(MakeFrameConstants(k), 0);
    scene.sphereRadius = std::nanf("");
    EXPECT_EQ(MakeFrameConstants(k), 0);
}

} // namespace
