// A picture encoded as PNG bytes in memory: 8-bit RGB, every row Sub-filtered, one IDAT chunk
// compressed by libdeflate, no time stamp or other varying chunk.
//
//   PngEncoder::Encode  encodes width x height pixels of 0x00RRGGBB (rows `pitchPixels` apart,
//                       the top byte ignored) into `png`, reusing its storage; the same picture
//                       always gives the same bytes. False only when memory runs out.
// One encoder per thread: it keeps its compressor and row buffer from picture to picture.
#ifndef ZARVO_PLATFORM_CAPTURE_CAPTURE_PNG_ENCODER_H
#define ZARVO_PLATFORM_CAPTURE_CAPTURE_PNG_ENCODER_H

#include <cstdint>
#include <vector>

struct libdeflate_compressor;

namespace capture {

class PngEncoder {
  public:
    PngEncoder();
    ~PngEncoder();
    PngEncoder(const PngEncoder&) = delete;
    PngEncoder& operator=(const PngEncoder&) = delete;

    bool Encode(const std::uint32_t* pixels, int width, int height, int pitchPixels,
                std::vector<std::uint8_t>& png);

  private:
    libdeflate_compressor* compressor_ = nullptr;
    std::vector<std::uint8_t> rows_; // the filtered rows, each led by its filter type
};

} // namespace capture

#endif
