// zarvo-make-icon: writes the program's icon (platform/common/zarvo_icon.cpp) as a Windows .ico
// file, for the Windows build's resource 101.
//
//   zarvo-make-icon OUTPUT.ico
// The file holds one 32x32 image: a 32-bit bottom-up BGRA bitmap (its alpha is the icon's
// transparency) followed by the 1-bit AND mask that older systems use in its place.
#include "zarvo_icon.h"

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <vector>

namespace {

void Put16(std::vector<std::uint8_t>& out, unsigned value) {
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

std::vector<std::uint8_t> IconFile(const std::uint32_t* pixels) {
    constexpr int size = platform::kZarvoIconSize;
    constexpr std::uint32_t maskRowBytes = ((size + 31) / 32) * 4;
    constexpr std::uint32_t headerBytes = 40;
    constexpr std::uint32_t imageBytes = headerBytes + size * size * 4 + maskRowBytes * size;
    std::vector<std::uint8_t> out;
    // The directory: reserved, type 1 (icon), one image.
    Put16(out, 0);
    Put16(out, 1);
    Put16(out, 1);
    // Its entry: width, height, no palette, reserved, one plane, 32 bits, size, offset.
    out.push_back(size);
    out.push_back(size);
    out.push_back(0);
    out.push_back(0);
    Put16(out, 1);
    Put16(out, 32);
    Put32(out, imageBytes);
    Put32(out, 6 + 16);
    // The bitmap header: its height counts the colour rows and the mask rows.
    Put32(out, headerBytes);
    Put32(out, size);
    Put32(out, size * 2);
    Put16(out, 1);
    Put16(out, 32);
    Put32(out, 0); // no compression
    Put32(out, size * size * 4 + maskRowBytes * size);
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, 0);
    for (int y = size - 1; y >= 0; --y) {
        for (int x = 0; x < size; ++x) {
            Put32(out, pixels[y * size + x]); // 0xAARRGGBB is B, G, R, A in memory order
        }
    }
    for (int y = size - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(maskRowBytes, 0);
        for (int x = 0; x < size; ++x) {
            if ((pixels[y * size + x] >> 24) == 0) {
                row[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
            }
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: zarvo-make-icon OUTPUT.ico\n");
        return 2;
    }
    std::vector<std::uint32_t> pixels(platform::kZarvoIconSize * platform::kZarvoIconSize);
    platform::DrawZarvoIcon(pixels.data());
    const std::vector<std::uint8_t> data = IconFile(pixels.data());
    std::ofstream file(argv[1], std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(data.data()),
               static_cast<std::streamsize>(data.size()));
    file.close();
    if (!file) {
        std::fprintf(stderr, "zarvo-make-icon: cannot write '%s'\n", argv[1]);
        return 1;
    }
    return 0;
}
