// The study mode's stills on a computer with files (study_mode.h's writeStill): the picture as
// an 8-bit RGB PNG through libpng, and its line appended to stills.txt beside it.
#ifndef ZARVO_PLATFORM_COMMON_STUDY_STILL_H
#define ZARVO_PLATFORM_COMMON_STUDY_STILL_H

#include <cstdint>
#include <string>

namespace platform {

bool WriteStillFile(const std::string& path, const std::string& line, const std::uint32_t* pixels,
                    std::string& error);

// The PNG alone: a width x height picture, 0x00RRGGBB row by row; false with the reason.
bool WriteStillPng(const std::string& path, const std::uint32_t* pixels, int width, int height,
                   std::string& error);

} // namespace platform

#endif
