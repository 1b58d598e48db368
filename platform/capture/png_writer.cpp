// PNG writing and reading with libpng; failures come back as messages, never as longjmp escapes.
#include "png_writer.h"

#include <png.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace capture {

// Quick compression: a capture writes thousands of frames. These pictures are smooth along their
// rows, so the Sub filter alone (no per-row trial of all five) at level 1 makes files about a
// fifth larger than level 3 with every filter, in under half the time (0.95 against 2.5 ms of
// one core for a frame of the show).
static constexpr int kCompressionLevel = 1;

namespace {

struct PngFailure {
    char text[256] = "";
};

void OnPngError(png_structp png, png_const_charp message) {
    auto* failure = static_cast<PngFailure*>(png_get_error_ptr(png));
    // libpng's own words for a failed write say nothing of why (a full disk, say); the system's do.
    const int cause = errno;
    if (std::strcmp(message, "Write Error") == 0 && cause != 0) {
        std::snprintf(failure->text, sizeof(failure->text), "%s", std::strerror(cause));
    } else {
        std::snprintf(failure->text, sizeof(failure->text), "%s", message);
    }
    png_longjmp(png, 1);
}

void OnPngWarning(png_structp, png_const_charp) {}

struct FileCloser {
    std::FILE* file = nullptr;
    ~FileCloser() {
        if (file != nullptr) {
            std::fclose(file);
        }
    }
};

// The libpng part of writing, kept free of C++ objects with destructors because of its longjmp.
bool EncodeRows(std::FILE* file, png_bytepp rows, int width, int height, PngFailure& failure) {
    png_structp png =
        png_create_write_struct(PNG_LIBPNG_VER_STRING, &failure, OnPngError, OnPngWarning);
    if (png == nullptr) {
        std::snprintf(failure.text, sizeof(failure.text), "out of memory");
        return false;
    }
    png_infop info = png_create_info_struct(png);
    if (info == nullptr || setjmp(png_jmpbuf(png)) != 0) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_compression_level(png, kCompressionLevel);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_SUB);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

bool DecodeRows(std::FILE* file, std::vector<std::uint8_t>& rgb, int& width, int& height,
                PngFailure& failure) {
    png_structp png =
        png_create_read_struct(PNG_LIBPNG_VER_STRING, &failure, OnPngError, OnPngWarning);
    if (png == nullptr) {
        std::snprintf(failure.text, sizeof(failure.text), "out of memory");
        return false;
    }
    png_infop info = png_create_info_struct(png);
    if (info == nullptr || setjmp(png_jmpbuf(png)) != 0) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_init_io(png, file);
    png_read_info(png, info);
    if (png_get_color_type(png, info) != PNG_COLOR_TYPE_RGB || png_get_bit_depth(png, info) != 8 ||
        png_get_interlace_type(png, info) != 0) {
        std::snprintf(failure.text, sizeof(failure.text), "not an 8-bit RGB picture");
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    width = static_cast<int>(png_get_image_width(png, info));
    height = static_cast<int>(png_get_image_height(png, info));
    rgb.assign(static_cast<std::size_t>(width) * height * 3, 0);
    for (int y = 0; y < height; ++y) {
        png_read_row(png, rgb.data() + static_cast<std::size_t>(y) * width * 3, nullptr);
    }
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

} // namespace

bool WritePng(const std::string& path, const std::uint32_t* pixels, int width, int height,
              int pitchPixels, std::string& error) {
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width) * height * 3);
    std::vector<png_bytep> rows(static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = rgb.data() + static_cast<std::size_t>(y) * width * 3;
        const std::uint32_t* source = pixels + static_cast<std::size_t>(y) * pitchPixels;
        for (int x = 0; x < width; ++x) {
            row[x * 3 + 0] = static_cast<std::uint8_t>(source[x] >> 16);
            row[x * 3 + 1] = static_cast<std::uint8_t>(source[x] >> 8);
            row[x * 3 + 2] = static_cast<std::uint8_t>(source[x]);
        }
        rows[static_cast<std::size_t>(y)] = row;
    }

    const std::string partial = path + ".part";
    PngFailure failure;
    {
        FileCloser closer;
        closer.file = std::fopen(partial.c_str(), "wb");
        if (closer.file == nullptr) {
            error = "cannot create '" + partial + "': " + std::strerror(errno);
            return false;
        }
        errno = 0;
        if (!EncodeRows(closer.file, rows.data(), width, height, failure)) {
            error = "cannot write '" + partial + "': " + failure.text;
            std::remove(partial.c_str());
            return false;
        }
        const int closed = std::fclose(closer.file);
        closer.file = nullptr;
        if (closed != 0) {
            error = "cannot write '" + partial + "': " + std::strerror(errno);
            std::remove(partial.c_str());
            return false;
        }
    }
    if (std::rename(partial.c_str(), path.c_str()) != 0) {
        error = "cannot rename '" + partial + "': " + std::strerror(errno);
        std::remove(partial.c_str());
        return false;
    }
    return true;
}

bool ReadPng(const std::string& path, std::vector<std::uint32_t>& pixels, int& width, int& height,
             std::string& error) {
    FileCloser closer;
    closer.file = std::fopen(path.c_str(), "rb");
    if (closer.file == nullptr) {
        error = "cannot open '" + path + "': " + std::strerror(errno);
        return false;
    }
    std::vector<std::uint8_t> rgb;
    PngFailure failure;
    if (!DecodeRows(closer.file, rgb, width, height, failure)) {
        error = "cannot read '" + path + "': " + failure.text;
        return false;
    }
    pixels.resize(static_cast<std::size_t>(width) * height);
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        pixels[i] = (static_cast<std::uint32_t>(rgb[i * 3]) << 16) |
                    (static_cast<std::uint32_t>(rgb[i * 3 + 1]) << 8) | rgb[i * 3 + 2];
    }
    return true;
}

std::string FrameFileName(std::int64_t frame) {
    char name[32];
    std::snprintf(name, sizeof(name), "%06lld.png", static_cast<long long>(frame));
    return name;
}

} // namespace capture
