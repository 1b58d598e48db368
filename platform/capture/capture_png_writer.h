// Frames as PNG files: 8-bit RGB (PngEncoder), with no time stamp or other varying chunk, so the
// same picture always gives the same bytes; read back with libpng.
//
//   WritePng  writes width x height pixels of 0x00RRGGBB (rows `pitchPixels` apart) to the file
//             `name` in the folder `folder` (a descriptor, or AT_FDCWD), `shown` naming it in
//             messages; the file appears under its name only once complete: written aside into
//             NAME.part, made afresh (output_folder.h: CreateFresh, never through a link), then
//             renamed. The second form takes a path.
//   ReadPng   reads an 8-bit RGB PNG back into 0x00RRGGBB pixels; for checks and tests
#ifndef ZARVO_PLATFORM_CAPTURE_CAPTURE_PNG_WRITER_H
#define ZARVO_PLATFORM_CAPTURE_CAPTURE_PNG_WRITER_H

#include <cstdint>
#include <string>
#include <vector>

namespace capture {

bool WritePng(int folder, const std::string& name, const std::string& shown,
              const std::uint32_t* pixels, int width, int height, int pitchPixels,
              std::string& error);
bool WritePng(const std::string& path, const std::uint32_t* pixels, int width, int height,
              int pitchPixels, std::string& error);

bool ReadPng(const std::string& path, std::vector<std::uint32_t>& pixels, int& width, int& height,
             std::string& error);

// "frames/000042.png" style name of frame n, six digits and more when needed.
std::string FrameFileName(std::int64_t frame);

} // namespace capture

#endif
