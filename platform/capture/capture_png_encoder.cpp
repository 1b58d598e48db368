// PNG encoding for the capture's frames: the rows filtered here, compressed with libdeflate, and
// framed as the three chunks a PNG needs.
//
// libpng compresses with zlib and has no way to use another deflate; libdeflate at its level 1
// compresses a frame of the show in about two thirds of zlib's time at level 1, and about a
// fifth smaller. The framing is a fixed signature and three chunks of length, type, data and
// CRC. libpng still reads the files back (ReadPng), checking every CRC.
#include "capture_png_encoder.h"

#include <libdeflate.h>

#include <cstring>

namespace capture {

// The fastest level: a capture writes thousands of frames, and level 1 of libdeflate already
// compresses better than zlib's level 3 with every filter.
static constexpr int kCompressionLevel = 1;
// Sub: each byte less the same channel of the pixel before. The pictures are smooth along their
// rows, so this one filter does about as well as trying all five per row, at a fraction of it.
static constexpr std::uint8_t kFilterSub = 1;
static constexpr std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
static constexpr std::size_t kIhdrLength = 13;
static constexpr std::size_t kChunkOverhead = 12; // length, type, CRC
static constexpr std::size_t kLongestChunk = 0x7FFFFFFF;

namespace {

void PutUint32(std::uint8_t* at, std::uint32_t value) {
    at[0] = static_cast<std::uint8_t>(value >> 24);
    at[1] = static_cast<std::uint8_t>(value >> 16);
    at[2] = static_cast<std::uint8_t>(value >> 8);
    at[3] = static_cast<std::uint8_t>(value);
}

// Writes a chunk's length and type at `at`; its `length` data bytes follow them and are already
// in place. Returns the size of the whole chunk, with the CRC (over type and data) written.
std::size_t FinishChunk(std::uint8_t* at, const char* type, std::size_t length) {
    PutUint32(at, static_cast<std::uint32_t>(length));
    std::memcpy(at + 4, type, 4);
    PutUint32(at + 8 + length, libdeflate_crc32(0, at + 4, 4 + length));
    return length + kChunkOverhead;
}

void FilterRows(const std::uint32_t* pixels, int width, int height, int pitchPixels,
                std::uint8_t* out) {
    for (int y = 0; y < height; ++y) {
        const std::uint32_t* row = pixels + static_cast<std::size_t>(y) * pitchPixels;
        *out++ = kFilterSub;
        std::uint32_t before = 0; // the pixel left of the first is taken as zero
        for (int x = 0; x < width; ++x) {
            const std::uint32_t pixel = row[x];
            out[0] = static_cast<std::uint8_t>((pixel >> 16) - (before >> 16));
            out[1] = static_cast<std::uint8_t>((pixel >> 8) - (before >> 8));
            out[2] = static_cast<std::uint8_t>(pixel - before);
            out += 3;
            before = pixel;
        }
    }
}

} // namespace

PngEncoder::PngEncoder() : compressor_(libdeflate_alloc_compressor(kCompressionLevel)) {}

PngEncoder::~PngEncoder() {
    libdeflate_free_compressor(compressor_);
}

bool PngEncoder::Encode(const std::uint32_t* pixels, int width, int height, int pitchPixels,
                        std::vector<std::uint8_t>& png) {
    if (compressor_ == nullptr || width <= 0 || height <= 0) {
        return false;
    }
    const std::size_t rowBytes = 1 + static_cast<std::size_t>(width) * 3;
    rows_.resize(rowBytes * static_cast<std::size_t>(height));
    FilterRows(pixels, width, height, pitchPixels, rows_.data());

    const std::size_t bound = libdeflate_zlib_compress_bound(compressor_, rows_.size());
    const std::size_t idatAt = sizeof(kSignature) + kIhdrLength + kChunkOverhead;
    png.resize(idatAt + bound + 2 * kChunkOverhead);
    std::uint8_t* out = png.data();
    std::memcpy(out, kSignature, sizeof(kSignature));

    std::uint8_t* ihdr = out + sizeof(kSignature);
    PutUint32(ihdr + 8, static_cast<std::uint32_t>(width));
    PutUint32(ihdr + 12, static_cast<std::uint32_t>(height));
    const std::uint8_t rest[5] = {8, 2, 0, 0, 0}; // 8 bits, RGB, deflate, adaptive, no interlace
    std::memcpy(ihdr + 16, rest, sizeof(rest));
    FinishChunk(ihdr, "IHDR", kIhdrLength);

    const std::size_t compressed =
        libdeflate_zlib_compress(compressor_, rows_.data(), rows_.size(), out + idatAt + 8, bound);
    if (compressed == 0 || compressed > kLongestChunk) {
        return false; // neither happens with a buffer of the bound's size and a frame's rows
    }
    std::size_t end = idatAt + FinishChunk(out + idatAt, "IDAT", compressed);
    end += FinishChunk(out + end, "IEND", 0);
    png.resize(end);
    return true;
}

} // namespace capture
