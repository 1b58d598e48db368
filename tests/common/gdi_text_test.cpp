// Text on a device context: the classic 16-pixel font, opaque cells, colours, clipping.
#include "gdi_context.h"
#include "gdi_font.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <vector>

namespace {

constexpr std::uint32_t kSentinel = 0x00123456;

struct Canvas {
    // Exactly 320x200, so that a write outside is caught by the address sanitizer.
    std::vector<std::uint32_t> pixels = std::vector<std::uint32_t>(320 * 200, kSentinel);
    HDC dc = platform::CreateGdiContext(pixels.data(), 320, 200, 320);
    ~Canvas() {
        platform::DestroyGdiContext(dc);
    }
    std::uint32_t At(int x, int y) const {
        return pixels[static_cast<std::size_t>(y) * 320 + x];
    }
};

SIZE Measure(HDC dc, const char* text) {
    SIZE size{-1, -1};
    EXPECT_TRUE(platform::MeasureText(dc, text, static_cast<int>(std::strlen(text)), &size));
    return size;
}

TEST(GdiText, UsesTheClassicSixteenPixelBitmapFaceFromTheSetUp) {
    const platform::SystemFont* font = platform::AcquireSystemFont();
    ASSERT_NE(font, nullptr) << "fonts-terminus must be installed (tools/install-deps.sh)";
    EXPECT_EQ(font->family, "Terminus (TTF)");
    Canvas canvas;
    const SIZE title = Measure(canvas.dc, "Quillmoor presents...");
    EXPECT_EQ(title.cy, platform::kSystemFontPixels);
    // A fixed 8-pixel advance: the 8x16 cell of the period's system font.
    EXPECT_EQ(title.cx, 21 * 8);
    EXPECT_EQ(Measure(canvas.dc, "").cx, 0);
}

TEST(GdiText, OpaqueModeFillsExactlyTheMeasuredCell) {
    Canvas canvas;
    platform::SetContextBackColor(canvas.dc, 0x000000);
    platform::SetContextTextColor(canvas.dc, 0xFFFFFF);
    const SIZE size = Measure(canvas.dc, "Quillmoor presents...");
    const int x = (320 - size.cx) / 2;
    const int y = (200 - size.cy) / 2;
    ASSERT_TRUE(platform::DrawText(canvas.dc, x, y, "Quillmoor presents...", 21));
    int inside = 0;
    int ink = 0;
    for (int py = 0; py < 200; ++py) {
        for (int px = 0; px < 320; ++px) {
            const bool inCell = px >= x && px < x + size.cx && py >= y && py < y + size.cy;
            const std::uint32_t pixel = canvas.At(px, py);
            if (!inCell) {
                ASSERT_EQ(pixel, kSentinel) << "outside the cell at " << px << "," << py;
                continue;
            }
            ++inside;
            // No smoothing: every cell pixel is the background or the text colour.
            ASSERT_TRUE(pixel == 0x000000u || pixel == 0xFFFFFFu) << std::hex << pixel;
            ink += pixel == 0xFFFFFFu ? 1 : 0;
        }
    }
    EXPECT_EQ(inside, size.cx * size.cy);
    EXPECT_GT(ink, 21 * 8) << "the letters are drawn";
}

TEST(GdiText, TransparentModeTouchesOnlyTheLettersInTheTextColour) {
    Canvas canvas;
    platform::SetContextBackMode(canvas.dc, TRANSPARENT);
    // COLORREF 0x00BBGGRR: pure red is 0x0000FF and lands as 0x00FF0000 in the surface.
    platform::SetContextTextColor(canvas.dc, 0x0000FF);
    ASSERT_TRUE(platform::DrawText(canvas.dc, 10, 10, "Zarvo!", 6));
    std::set<std::uint32_t> colours(canvas.pixels.begin(), canvas.pixels.end());
    EXPECT_EQ(colours, (std::set<std::uint32_t>{kSentinel, 0x00FF0000u}));
}

TEST(GdiText, ContextsStartWithWindowsDefaultsAndReturnPreviousValues) {
    Canvas canvas;
    EXPECT_EQ(platform::SetContextBackMode(canvas.dc, TRANSPARENT), OPAQUE);
    EXPECT_EQ(platform::SetContextTextColor(canvas.dc, 0x112233), 0x000000u);
    EXPECT_EQ(platform::SetContextBackColor(canvas.dc, 0x445566), 0xFFFFFFu);
    EXPECT_EQ(platform::SetContextTextColor(canvas.dc, 0), 0x112233u);
    EXPECT_EQ(platform::SetContextBackMode(canvas.dc, 7), 0) << "no such mode";
}

TEST(GdiText, ClipsAtEveryEdgeWithoutWritingOutside) {
    Canvas canvas;
    platform::SetContextBackColor(canvas.dc, 0x000000);
    const char* text = "Greetings to Mr. Ladle from everyone at KV!"; // wider than 320
    const int length = static_cast<int>(std::strlen(text));
    const SIZE size = Measure(canvas.dc, text);
    ASSERT_GT(size.cx, 320);
    const int x = (320 - size.cx) / 2; // negative, as the centring gives it
    EXPECT_TRUE(platform::DrawText(canvas.dc, x, 0, text, length));
    EXPECT_TRUE(platform::DrawText(canvas.dc, 310, 190, text, length));
    EXPECT_TRUE(platform::DrawText(canvas.dc, -5000, -5000, text, length));
    EXPECT_TRUE(platform::DrawText(canvas.dc, 2000000000, 2000000000, text, length));
    EXPECT_EQ(canvas.At(0, 0), 0u) << "the clipped text still fills the visible part";
    EXPECT_EQ(canvas.At(319, 199), 0u);
    EXPECT_EQ(canvas.At(0, 199), kSentinel);
}

TEST(GdiText, RefusesDeadContextsAndBadArguments) {
    std::vector<std::uint32_t> pixels(16 * 16, kSentinel);
    HDC dc = platform::CreateGdiContext(pixels.data(), 16, 16, 16);
    ASSERT_NE(dc, nullptr);
    SIZE size{};
    EXPECT_FALSE(platform::MeasureText(dc, "x", -1, &size));
    EXPECT_FALSE(platform::MeasureText(dc, "x", 1, nullptr));
    platform::DestroyGdiContext(dc);
    EXPECT_FALSE(platform::MeasureText(dc, "x", 1, &size));
    EXPECT_FALSE(platform::DrawText(dc, 0, 0, "x", 1));
    EXPECT_EQ(platform::SetContextTextColor(dc, 0), platform::kInvalidColor);
    EXPECT_EQ(platform::CreateGdiContext(pixels.data(), 16, 16, 8), nullptr) << "pitch < width";
    EXPECT_EQ(pixels[0], kSentinel);
}

TEST(GdiText, MapsCodePage1252) {
    EXPECT_EQ(platform::CodePage1252ToUnicode('A'), 0x41u);
    EXPECT_EQ(platform::CodePage1252ToUnicode(0x80), 0x20ACu); // the euro sign
    EXPECT_EQ(platform::CodePage1252ToUnicode(0xE9), 0xE9u);
}

} // namespace
