// The shared model's picture: kept, and scaled in software to its 4:3 place, each of its pixels a
// sharp block whose edges alone are blended where they fall between two pixels of the window.
//
// This is what enlarging by whole factors and then smoothing down (the Linux program's way) comes
// to, done in one step: an output pixel takes the colours of the picture's pixels it covers, in
// the share it covers them. Most output pixels lie within one picture pixel and are a copy.
#include "windows_view_picture.h"

#include "windows_view.h"

#include <cstring>
#include <vector>

namespace windows {

namespace {

// Where an output pixel's colour comes from along one axis: picture pixel `first`, blended with
// the next one in `weight` 256ths (0: `first` alone).
struct Tap {
    int first;
    int weight;
};

struct PictureState {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels; // width x height, rows top to bottom
    // The scaled picture, a DIB section of the target's size in its own memory device context.
    HDC scaledDC = nullptr;
    HBITMAP scaled = nullptr;
    HGDIOBJ previous = nullptr;
    std::uint32_t* scaledBits = nullptr;
    int scaledWidth = 0;
    int scaledHeight = 0;
    std::vector<Tap> columns;
    std::vector<Tap> rows;
};

PictureState picture;

BITMAPINFO DescribeTopDown(int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

void FreeScaled() {
    if (picture.scaledDC != nullptr) {
        SelectObject(picture.scaledDC, picture.previous);
        DeleteDC(picture.scaledDC);
    }
    if (picture.scaled != nullptr) {
        DeleteObject(picture.scaled);
    }
    picture.scaledDC = nullptr;
    picture.scaled = nullptr;
    picture.previous = nullptr;
    picture.scaledBits = nullptr;
    picture.scaledWidth = picture.scaledHeight = 0;
}

// The taps of `outputs` pixels showing `inputs` picture pixels (outputs >= inputs).
std::vector<Tap> TapsFor(int inputs, int outputs) {
    std::vector<Tap> taps(static_cast<std::size_t>(outputs));
    for (int o = 0; o < outputs; ++o) {
        // The output pixel covers [o, o + 1) of the output, [o, o + 1) * inputs / outputs of the
        // picture; in whole units of 1 / outputs of a picture pixel, to stay exact.
        const long long start = static_cast<long long>(o) * inputs;
        const long long end = start + inputs;
        const int first = static_cast<int>(start / outputs);
        const long long boundary = static_cast<long long>(first + 1) * outputs;
        int weight = 0;
        if (end > boundary && first + 1 < inputs) {
            weight = static_cast<int>((end - boundary) * 256 / inputs);
        }
        taps[static_cast<std::size_t>(o)] = Tap{first, weight};
    }
    return taps;
}

// A DIB section of the given size (kept while the size stays); false when none can be made.
bool ScaledOfSize(HDC dc, int width, int height) {
    if (picture.scaled != nullptr && picture.scaledWidth == width &&
        picture.scaledHeight == height) {
        return true;
    }
    FreeScaled();
    const BITMAPINFO info = DescribeTopDown(width, height);
    void* bits = nullptr;
    picture.scaled = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    picture.scaledDC = CreateCompatibleDC(dc);
    if (picture.scaled == nullptr || picture.scaledDC == nullptr || bits == nullptr) {
        FreeScaled();
        return false;
    }
    picture.previous = SelectObject(picture.scaledDC, picture.scaled);
    picture.scaledBits = static_cast<std::uint32_t*>(bits);
    picture.scaledWidth = width;
    picture.scaledHeight = height;
    picture.columns = TapsFor(picture.width, width);
    picture.rows = TapsFor(picture.height, height);
    return true;
}

// a and b blended with `weight` 256ths of b, for red, green and blue at once.
inline std::uint32_t Blend(std::uint32_t a, std::uint32_t b, int weight) {
    if (weight == 0) {
        return a;
    }
    const std::uint32_t keep = 256 - static_cast<std::uint32_t>(weight);
    const std::uint32_t take = static_cast<std::uint32_t>(weight);
    const std::uint32_t redBlue = ((a & 0xFF00FFu) * keep + (b & 0xFF00FFu) * take) >> 8;
    const std::uint32_t green = ((a & 0x00FF00u) * keep + (b & 0x00FF00u) * take) >> 8;
    return (redBlue & 0xFF00FFu) | (green & 0x00FF00u);
}

void Scale() {
    std::vector<std::uint32_t> blended(static_cast<std::size_t>(picture.width));
    for (int y = 0; y < picture.scaledHeight; ++y) {
        const Tap row = picture.rows[static_cast<std::size_t>(y)];
        const std::uint32_t* upper =
            &picture.pixels[static_cast<std::size_t>(row.first) * picture.width];
        const std::uint32_t* source = upper;
        if (row.weight != 0) {
            const std::uint32_t* lower = upper + picture.width;
            for (int x = 0; x < picture.width; ++x) {
                blended[static_cast<std::size_t>(x)] = Blend(upper[x], lower[x], row.weight);
            }
            source = blended.data();
        }
        std::uint32_t* out = picture.scaledBits + static_cast<std::size_t>(y) * picture.scaledWidth;
        for (const Tap& column : picture.columns) {
            *out++ = Blend(source[column.first],
                           source[column.first + (column.weight != 0 ? 1 : 0)], column.weight);
        }
    }
}

void FillBlack(HDC dc, int left, int top, int right, int bottom) {
    if (right > left && bottom > top) {
        const RECT area{left, top, right, bottom};
        FillRect(dc, &area, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    }
}

} // namespace

void KeepPicture(const std::uint32_t* pixels, int width, int height, int pitchBytes) {
    if (width != picture.width || height != picture.height) {
        FreeScaled(); // its taps were for another picture size
    }
    picture.width = width;
    picture.height = height;
    picture.pixels.resize(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        std::memcpy(&picture.pixels[static_cast<std::size_t>(y) * width],
                    reinterpret_cast<const char*>(pixels) +
                        static_cast<std::ptrdiff_t>(y) * pitchBytes,
                    static_cast<std::size_t>(width) * sizeof(std::uint32_t));
    }
}

bool HasPicture() {
    return !picture.pixels.empty();
}

void PaintPicture(HDC dc, const RECT& client) {
    const int outputWidth = client.right - client.left;
    const int outputHeight = client.bottom - client.top;
    if (!HasPicture() || outputWidth <= 0 || outputHeight <= 0) {
        FillBlack(dc, client.left, client.top, client.right, client.bottom);
        return;
    }
    RECT target = FitFourByThree(outputWidth, outputHeight);
    OffsetRect(&target, client.left, client.top);
    FillBlack(dc, client.left, client.top, client.right, target.top);
    FillBlack(dc, client.left, target.bottom, client.right, client.bottom);
    FillBlack(dc, client.left, target.top, target.left, target.bottom);
    FillBlack(dc, target.right, target.top, client.right, target.bottom);

    const int targetWidth = target.right - target.left;
    const int targetHeight = target.bottom - target.top;
    if (targetWidth >= picture.width && targetHeight >= picture.height &&
        ScaledOfSize(dc, targetWidth, targetHeight)) {
        Scale();
        BitBlt(dc, target.left, target.top, targetWidth, targetHeight, picture.scaledDC, 0, 0,
               SRCCOPY);
        return;
    }
    // A window smaller than the picture: the system shrinks it.
    const BITMAPINFO info = DescribeTopDown(picture.width, picture.height);
    SetStretchBltMode(dc, HALFTONE);
    SetBrushOrgEx(dc, 0, 0, nullptr);
    StretchDIBits(dc, target.left, target.top, targetWidth, targetHeight, 0, 0, picture.width,
                  picture.height, picture.pixels.data(), &info, DIB_RGB_COLORS, SRCCOPY);
}

void FreePicture() {
    FreeScaled();
    picture.pixels.clear();
    picture.pixels.shrink_to_fit();
}

} // namespace windows
