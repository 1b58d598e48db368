// What the study mode draws over the show's 320x200 picture (0x00RRGGBB, 320 pixels a row).
//
//   EnlargeGrid     the 80 x 50 traced cells, each a 4 x 4 block: no smoothing
//   DarkenBox       the rectangle [x0, x1) x [y0, y1) at a quarter of every channel: a text's
//                   ground that lets the picture show through, dimmed
//   DrawTimeline    the bottom rows: a thin bar over the show's frames, a tick at each section's
//                   start and a marker where `frame` stands
#ifndef ZARVO_PLATFORM_COMMON_STUDY_PICTURE_H
#define ZARVO_PLATFORM_COMMON_STUDY_PICTURE_H

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

constexpr int kStudyWidth = 320;
constexpr int kStudyHeight = 200;

using StudyPicture = std::vector<std::uint32_t>; // kStudyWidth * kStudyHeight pixels

void EnlargeGrid(const std::uint32_t* cells, StudyPicture& picture);
void DarkenBox(StudyPicture& picture, int x0, int y0, int x1, int y1);
void DrawTimeline(StudyPicture& picture, const std::vector<std::int64_t>& sections,
                  std::int64_t lastFrame, std::int64_t frame);

} // namespace platform

#endif
