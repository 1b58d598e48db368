// The fourfold enlargement: averages by mask and shift, and which pixels each pass writes (and
// which it leaves alone).
#include <cstdint>
#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "raytrace/render_frame.h"
#include "tests/raytrace/scene_fixture.h"

namespace {

using Upscaler = void (*)(uint32_t*, int32_t);

constexpr uint32_t Gray(uint32_t level) {
    return level * 0x010101u;
}

// A 200-row surface with a given pitch in pixels, pre-filled with a marker.
struct Surface {
    int pitch;
    std::vector<uint32_t> pixels;
    Surface(int pitchPixels, uint32_t fill) : pitch(pitchPixels), pixels(200 * pitchPixels, fill) {}
    uint32_t& At(int x, int y) {
        return pixels[y * pitch + x];
    }
};

void FillGrid(uint32_t value) {
    for (uint32_t& cell : TracedPixels) {
        cell = value;
    }
}

class Enlargement : public ::testing::TestWithParam<Upscaler> {};

TEST_P(Enlargement, WhiteBlackEdgesFallOffInQuarterSteps) {
    FillGrid(0);
    TracedPixels[0] = Gray(255);  // white with a black right neighbour
    TracedPixels[81] = Gray(255); // row 1: black at column 0 with a white right neighbour
    Surface s(320, 0xDEADBEEF);
    GetParam()(s.pixels.data(), s.pitch);
    const uint32_t whiteToBlack[] = {255, 190, 127, 63};
    const uint32_t blackToWhite[] = {0, 63, 127, 190};
    for (int x = 0; x < 4; ++x) {
        EXPECT_EQ(s.At(x, 0), Gray(whiteToBlack[x])) << x;
        EXPECT_EQ(s.At(x, 4), Gray(blackToWhite[x])) << x;
    }
}

TEST_P(Enlargement, UniformAreasKeepOrDarkenAsTheRoundingDictates) {
    FillGrid(Gray(200));
    Surface grey(320, Gray(200));
    GetParam()(grey.pixels.data(), grey.pitch);
    for (int y = 0; y < 200; ++y) {
        for (int x = 0; x < 320; ++x) {
            ASSERT_EQ(grey.At(x, y), Gray(200)) << x << "," << y;
        }
    }

    FillGrid(Gray(255));
    Surface white(320, 0);
    GetParam()(white.pixels.data(), white.pitch);
    const uint32_t across[] = {255, 253, 254, 253};
    const uint32_t between[] = {253, 252, 253, 252};
    const uint32_t middle[] = {254, 252, 254, 252};
    for (int k = 0; k < 49; ++k) {
        for (int x = 0; x < 316; ++x) {
            ASSERT_EQ(white.At(x, 4 * k), Gray(across[x % 4])) << x << "," << 4 * k;
            ASSERT_EQ(white.At(x, 4 * k + 1), Gray(between[x % 4])) << x << "," << 4 * k + 1;
            ASSERT_EQ(white.At(x, 4 * k + 2), Gray(middle[x % 4])) << x << "," << 4 * k + 2;
            ASSERT_EQ(white.At(x, 4 * k + 3), Gray(between[x % 4])) << x << "," << 4 * k + 3;
        }
    }
}

TEST_P(Enlargement, UnwrittenPixelsKeepTheirContentsAndFeedTheColumnAverages) {
    FillGrid(Gray(200));
    const uint32_t held = Gray(100);
    Surface s(320, held);
    GetParam()(s.pixels.data(), s.pitch);
    for (int y = 0; y < 200; ++y) {
        for (int x = 0; x < 320; ++x) {
            const bool heldPixel = y >= 197 || (y % 4 == 0 && x >= 316);
            // Pass 2 averages the held pixels of columns 316 ... 319 into its rows.
            const uint32_t expected = heldPixel || x >= 316 ? held : Gray(200);
            ASSERT_EQ(s.At(x, y), expected) << x << "," << y;
        }
    }
    EXPECT_EQ(s.At(316, 196), held);
}

TEST_P(Enlargement, WidePitchLeavesBytesPastPixel319AloneAndGivesTheSamePicture) {
    for (int i = 0; i < 4000; ++i) {
        TracedPixels[i] = (uint32_t(i) * 2654435761u) & 0xFFFFFFu;
    }
    Surface narrow(320, 0x11223344);
    GetParam()(narrow.pixels.data(), narrow.pitch);
    Surface wide(333, 0x11223344);
    GetParam()(wide.pixels.data(), wide.pitch);
    for (int y = 0; y < 200; ++y) {
        for (int x = 0; x < 333; ++x) {
            if (x < 320) {
                ASSERT_EQ(wide.At(x, y), narrow.At(x, y)) << x << "," << y;
            } else {
                ASSERT_EQ(wide.At(x, y), 0x11223344u) << x << "," << y;
            }
        }
    }
}

TEST_P(Enlargement, CellCornersAreTheTracedPixels) {
    for (int i = 0; i < 4000; ++i) {
        TracedPixels[i] = (uint32_t(i) * 40503u) & 0xFFFFFFu;
    }
    Surface s(320, 0);
    GetParam()(s.pixels.data(), s.pitch);
    for (int i = 0; i < 50; ++i) {
        for (int j = 0; j < 79; ++j) {
            ASSERT_EQ(s.At(4 * j, 4 * i), TracedPixels[i * 80 + j]) << j << "," << i;
        }
    }
    EXPECT_EQ(s.At(160, 100), TracedPixels[25 * 80 + 40]);
}

INSTANTIATE_TEST_SUITE_P(Reference, Enlargement, ::testing::Values(&UpscaleFrameReference));
INSTANTIATE_TEST_SUITE_P(Fast, Enlargement, ::testing::Values(&UpscaleFrame));

// RenderFrame on the default scene: the traced cells and the enlarged picture around them.
using RenderFrameTest = DefaultScene;

TEST_F(RenderFrameTest, DefaultSceneGivesTheWorkedExamplePixels) {
    for (auto render : {&RenderFrameReference, &RenderFrame}) {
        std::vector<uint32_t> frame(320 * 200, 0);
        render(frame.data(), 1280);
        EXPECT_EQ(TracedPixels[25 * 80 + 40], 0x006E19FFu); // (110, 25, 255)
        EXPECT_EQ(TracedPixels[45 * 80 + 60], 0x00361956u); // (54, 25, 86)
        EXPECT_EQ(frame[100 * 320 + 160], 0x006E19FFu);
        EXPECT_EQ(frame[180 * 320 + 240], 0x00361956u);
        EXPECT_EQ(TracedPixels[0], 0u); // top left looks above the floor and misses the sphere
    }
}

TEST_F(RenderFrameTest, PitchInBytesIsHonoured) {
    std::vector<uint32_t> narrow(320 * 200, 0x55555555u);
    RenderFrame(narrow.data(), 1280);
    constexpr int widePitch = 1280 + 64;
    std::vector<uint32_t> wide(widePitch / 4 * 200, 0x55555555u);
    RenderFrame(wide.data(), widePitch);
    for (int y = 0; y < 200; ++y) {
        ASSERT_EQ(std::memcmp(&wide[y * widePitch / 4], &narrow[y * 320], 1280), 0) << y;
        for (int x = 320; x < widePitch / 4; ++x) {
            ASSERT_EQ(wide[y * widePitch / 4 + x], 0x55555555u) << x << "," << y;
        }
    }
}

} // namespace
