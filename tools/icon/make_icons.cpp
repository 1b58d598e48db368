// zarvo-icons: writes the program's icon as PNG files for the desktop's hicolor icon theme.
//
//   zarvo-icons FOLDER SIZE...   writes FOLDER/SIZExSIZE/apps/zarvo.png for each size
// Exit code 0 when every file was written, 1 otherwise (with the reason on standard error),
// 2 for a wrong command line.
#include "zarvo_icon.h"

#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr int kSmallest = 16;
constexpr int kLargest = 1024;

// Writes size x size pixels of 0xAARRGGBB as an 8-bit RGBA PNG; false with a reason.
bool WritePng(const std::string& path, int size, const std::vector<std::uint32_t>& pixels,
              std::string& error) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(size);
    image.height = static_cast<png_uint_32>(size);
    image.format = PNG_FORMAT_RGBA;
    std::vector<std::uint8_t> rgba(static_cast<std::size_t>(size) * size * 4);
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        rgba[i * 4 + 0] = static_cast<std::uint8_t>(pixels[i] >> 16);
        rgba[i * 4 + 1] = static_cast<std::uint8_t>(pixels[i] >> 8);
        rgba[i * 4 + 2] = static_cast<std::uint8_t>(pixels[i]);
        rgba[i * 4 + 3] = static_cast<std::uint8_t>(pixels[i] >> 24);
    }
    if (png_image_write_to_file(&image, path.c_str(), 0, rgba.data(), 0, nullptr) == 0) {
        error = image.message;
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: zarvo-icons FOLDER SIZE...\n");
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    for (int i = 2; i < argc; ++i) {
        char* end = nullptr;
        const long size = std::strtol(argv[i], &end, 10);
        if (end == argv[i] || *end != '\0' || size < kSmallest || size > kLargest) {
            std::fprintf(stderr, "zarvo-icons: '%s' is not a size from %d to %d\n", argv[i],
                         kSmallest, kLargest);
            return 2;
        }
        const int side = static_cast<int>(size);
        const std::filesystem::path apps =
            folder / (std::to_string(side) + "x" + std::to_string(side)) / "apps";
        std::error_code made;
        std::filesystem::create_directories(apps, made);
        std::vector<std::uint32_t> pixels(static_cast<std::size_t>(side) * side);
        platform::DrawZarvoIconAt(side, pixels.data());
        std::string error;
        const std::string path = (apps / "zarvo.png").string();
        if (made || !WritePng(path, side, pixels, error)) {
            std::fprintf(stderr, "zarvo-icons: cannot write %s (%s)\n", path.c_str(),
                         made ? made.message().c_str() : error.c_str());
            return 1;
        }
    }
    return 0;
}
