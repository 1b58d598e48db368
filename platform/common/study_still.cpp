// The study's stills as PNG files, through libpng, and the list of them.
#include "study_still.h"

#include "study_mode.h"

#include <png.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <vector>

namespace platform {

namespace {

struct Encoder {
    png_structp png = nullptr;
    png_infop info = nullptr;
    std::FILE* file = nullptr;
    ~Encoder() {
        png_destroy_write_struct(&png, &info);
        if (file != nullptr) {
            std::fclose(file);
        }
    }
};

// Runs libpng's part; libpng's errors return here through its jump.
bool Encode(Encoder& encoder, std::vector<png_bytep>& rows, int width, int height) {
    if (setjmp(png_jmpbuf(encoder.png)) != 0) {
        return false;
    }
    png_init_io(encoder.png, encoder.file);
    png_set_IHDR(encoder.png, encoder.info, static_cast<png_uint_32>(width),
                 static_cast<png_uint_32>(height), 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(encoder.png, encoder.info);
    png_write_image(encoder.png, rows.data());
    png_write_end(encoder.png, encoder.info);
    return true;
}

} // namespace

bool WriteStillPng(const std::string& path, const std::uint32_t* pixels, int width, int height,
                   std::string& error) {
    std::vector<png_byte> rgb(static_cast<std::size_t>(width) * height * 3);
    std::vector<png_bytep> rows(static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y) {
        rows[y] = rgb.data() + static_cast<std::size_t>(y) * width * 3;
        for (int x = 0; x < width; ++x) {
            const std::uint32_t p = pixels[static_cast<std::size_t>(y) * width + x];
            rows[y][x * 3] = static_cast<png_byte>(p >> 16);
            rows[y][x * 3 + 1] = static_cast<png_byte>(p >> 8);
            rows[y][x * 3 + 2] = static_cast<png_byte>(p);
        }
    }
    Encoder encoder;
    encoder.file = std::fopen(path.c_str(), "wb");
    if (encoder.file == nullptr) {
        error = path + ": " + std::strerror(errno);
        return false;
    }
    encoder.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    encoder.info = encoder.png != nullptr ? png_create_info_struct(encoder.png) : nullptr;
    if (encoder.info == nullptr || !Encode(encoder, rows, width, height)) {
        error = path + ": the PNG could not be written";
        return false;
    }
    const bool closed = std::fclose(encoder.file) == 0;
    encoder.file = nullptr;
    if (!closed) {
        error = path + ": " + std::strerror(errno);
    }
    return closed;
}

bool WriteStillFile(const std::string& path, const std::string& line, const std::uint32_t* pixels,
                    std::string& error) {
    if (!WriteStillPng(path, pixels, 320, 200, error)) {
        return false;
    }
    AppendStillLine(path, line);
    return true;
}

} // namespace platform
