// The study mode's stills: a 320x200 picture (0x00RRGGBB) written as an 8-bit RGB PNG.
//
//   WriteStillPng  writes `path` (replacing it); false with the reason
//   StillName      the file name of frame n: still-NNNNNN.png
#ifndef ZARVO_PLATFORM_COMMON_STUDY_STILL_H
#define ZARVO_PLATFORM_COMMON_STUDY_STILL_H

#include <cstdint>
#include <string>

namespace platform {

bool WriteStillPng(const std::string& path, const std::uint32_t* pixels, int width, int height,
                   std::string& error);
std::string StillName(std::int64_t frame);

} // namespace platform

#endif
