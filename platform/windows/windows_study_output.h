// What the study mode draws and writes in zarvo.exe, with the system's own means.
//
//   DrawGdiText           lines of text in the system's GUI font, white on a dark box, top-left
//                         at (x, y) of the picture (study_mode.h's drawText)
//   WriteStillWithCodecs  the 320x200 picture as a 24-bit PNG through the Windows Imaging
//                         Component, and its line appended to stills.txt beside it (study_mode.h's
//                         writeStill); false with the reason
#ifndef ZARVO_PLATFORM_WINDOWS_WINDOWS_STUDY_OUTPUT_H
#define ZARVO_PLATFORM_WINDOWS_WINDOWS_STUDY_OUTPUT_H

#include "study_picture.h"

#include <cstdint>
#include <string>
#include <vector>

namespace windows {

void DrawGdiText(platform::StudyPicture& picture, int x, int y,
                 const std::vector<std::string>& lines);
bool WriteStillWithCodecs(const std::string& path, const std::string& line,
                          const std::uint32_t* pixels, std::string& error);

} // namespace windows

#endif
