// The picture of the shared model's window as it is painted: the largest 4:3 rectangle of the
// window, centred, black beside it; every window pixel that lies within one picture pixel is that
// pixel's colour exactly (sharp), and one that straddles two or four is a blend of theirs.
#include "windows_view.h"
#include "windows_view_picture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 200;

// Neighbouring pixels differ in every channel, so a blend cannot pass for either of them.
std::uint32_t PatternAt(int x, int y) {
    const std::uint32_t r = static_cast<std::uint32_t>((x * 37 + y * 11) & 0xFF);
    const std::uint32_t g = static_cast<std::uint32_t>((x * 5 + y * 71) & 0xFF);
    const std::uint32_t b = static_cast<std::uint32_t>(((x + y) & 1) != 0 ? 0xF0 : 0x10);
    return (r << 16) | (g << 8) | b;
}

// Whether every channel of `value` lies between the least and the most that channel has in the
// picture pixels [x0, x1] x [y0, y1].
bool WithinCovered(std::uint32_t value, int x0, int x1, int y0, int y1) {
    for (int shift = 0; shift <= 16; shift += 8) {
        std::uint32_t lo = 0xFF;
        std::uint32_t hi = 0;
        for (int y = y0; y <= y1; ++y) {
            for (int x = x0; x <= x1; ++x) {
                lo = std::min(lo, (PatternAt(x, y) >> shift) & 0xFF);
                hi = std::max(hi, (PatternAt(x, y) >> shift) & 0xFF);
            }
        }
        const std::uint32_t v = (value >> shift) & 0xFF;
        if (v < lo || v > hi) {
            return false;
        }
    }
    return true;
}

// The window pixels at `o` of `outputs` cover picture pixels [first, last] of `inputs`.
void Footprint(int o, int outputs, int inputs, int& first, int& last) {
    first = static_cast<int>(static_cast<long long>(o) * inputs / outputs);
    last = static_cast<int>((static_cast<long long>(o + 1) * inputs - 1) / outputs);
}

// Paints the pattern into a window-sized DIB and returns its pixels, top row first.
std::vector<std::uint32_t> Paint(int width, int height) {
    std::vector<std::uint32_t> picture(static_cast<std::size_t>(kWidth) * kHeight);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            picture[static_cast<std::size_t>(y) * kWidth + x] = PatternAt(x, y);
        }
    }
    windows::KeepPicture(picture.data(), kWidth, kHeight, kWidth * 4);

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    std::vector<std::uint32_t> out;
    if (dc != nullptr && bitmap != nullptr) {
        HGDIOBJ previous = SelectObject(dc, bitmap);
        const std::size_t count = static_cast<std::size_t>(width) * height;
        std::fill_n(static_cast<std::uint32_t*>(bits), count, 0x00ABCDEFu); // not black
        windows::PaintPicture(dc, RECT{0, 0, width, height});
        GdiFlush();
        const auto* pixels = static_cast<const std::uint32_t*>(bits);
        out.assign(pixels, pixels + count);
        SelectObject(dc, previous);
    }
    DeleteObject(bitmap);
    DeleteDC(dc);
    windows::FreePicture();
    return out;
}

void ExpectPainted(int width, int height) {
    SCOPED_TRACE(testing::Message() << width << "x" << height);
    const std::vector<std::uint32_t> out = Paint(width, height);
    ASSERT_EQ(out.size(), static_cast<std::size_t>(width) * height);
    const RECT target = windows::FitFourByThree(width, height);
    const int targetWidth = target.right - target.left;
    const int targetHeight = target.bottom - target.top;
    EXPECT_EQ(targetWidth * 3, targetHeight * 4);
    EXPECT_TRUE(targetWidth == width || targetHeight == height) << "not the largest";

    int sharp = 0;
    int blended = 0;
    int mixed = 0; // blended pixels that are none of the pixels they straddle
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::uint32_t pixel = out[static_cast<std::size_t>(y) * width + x] & 0xFFFFFF;
            if (x < target.left || x >= target.right || y < target.top || y >= target.bottom) {
                ASSERT_EQ(pixel, 0u) << "beside the picture at " << x << "," << y;
                continue;
            }
            int x0, x1, y0, y1;
            Footprint(x - target.left, targetWidth, kWidth, x0, x1);
            Footprint(y - target.top, targetHeight, kHeight, y0, y1);
            if (x0 == x1 && y0 == y1) {
                ASSERT_EQ(pixel, PatternAt(x0, y0)) << "within one pixel at " << x << "," << y;
                ++sharp;
            } else {
                ASSERT_TRUE(WithinCovered(pixel, x0, x1, y0, y1))
                    << "not a blend of the pixels it straddles at " << x << "," << y;
                ++blended;
                if (pixel != PatternAt(x0, y0) && pixel != PatternAt(x1, y1) &&
                    pixel != PatternAt(x0, y1) && pixel != PatternAt(x1, y0)) {
                    ++mixed;
                }
            }
        }
    }
    // The picture's pixels stand as blocks: at these sizes (over two window pixels to one of the
    // picture's) some window pixels lie within one of them, the rest on an edge.
    // A block's edge is a blend, not the one or the other pixel (which would make the blocks
    // of uneven sizes).
    EXPECT_GT(sharp, 0);
    EXPECT_EQ(sharp + blended, targetWidth * targetHeight);
    EXPECT_GT(mixed, blended / 2);
}

TEST(WindowsView, ThePictureTakesTheLargest4By3PlaceSharpAndCentredOnBlack) {
    ExpectPainted(1280, 720); // wider than 4:3: black at the sides
    ExpectPainted(1024, 768); // 4:3 exactly
    ExpectPainted(700, 900);  // taller: black above and below
    ExpectPainted(1920, 1080);
}

} // namespace
