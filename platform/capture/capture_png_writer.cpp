// PNG frame files: written whole (aside, then renamed) from PngEncoder's bytes, and read back
// with libpng; failures come back as messages, never as exceptions or longjmp escapes.
#include "capture_png_writer.h"

#include "capture_output_folder.h"
#include "capture_png_encoder.h"
#include "capture_write_all.h"

#include <png.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <unistd.h>

namespace capture {

namespace {

struct PngFailure {
    char text[256] = "";
};

void OnPngError(png_structp png, png_const_charp message) {
    auto* failure = static_cast<PngFailure*>(png_get_error_ptr(png));
    std::snprintf(failure->text, sizeof(failure->text), "%s", message);
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

bool WritePng(int folder, const std::string& name, const std::string& shown,
              const std::uint32_t* pixels, int width, int height, int pitchPixels,
              std::string& error) {
    // Each thread keeps its encoder and buffer: the workers write thousands of frames.
    thread_local PngEncoder encoder;
    thread_local std::vector<std::uint8_t> png;
    bool encoded = false;
    try {
        encoded = encoder.Encode(pixels, width, height, pitchPixels, png);
    } catch (const std::bad_alloc&) {
        encoded = false;
    }
    const std::string partial = name + ".part";
    const std::string shownPartial = shown + ".part";
    if (!encoded) {
        error = "cannot write '" + shownPartial + "': out of memory";
        return false;
    }
    const int fd = CreateFresh(folder, partial, shownPartial, error);
    if (fd < 0) {
        return false;
    }
    const bool written = WriteAll(fd, png.data(), png.size(), 0);
    const int cause = errno;
    const int closed = close(fd);
    if (!written || closed != 0) {
        error = "cannot write '" + shownPartial + "': " + std::strerror(written ? errno : cause);
        unlinkat(folder, partial.c_str(), 0);
        return false;
    }
    if (renameat(folder, partial.c_str(), folder, name.c_str()) != 0) {
        error = "cannot rename '" + shownPartial + "': " + std::strerror(errno);
        unlinkat(folder, partial.c_str(), 0);
        return false;
    }
    return true;
}

bool WritePng(const std::string& path, const std::uint32_t* pixels, int width, int height,
              int pitchPixels, std::string& error) {
    return WritePng(AT_FDCWD, path, path, pixels, width, height, pitchPixels, error);
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
