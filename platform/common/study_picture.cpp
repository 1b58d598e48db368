// The study's drawings over the picture: the enlarged grid, text boxes' ground and the timeline.
#include "study_picture.h"

#include <algorithm>

namespace platform {

constexpr int kGridCell = 4;
constexpr std::uint32_t kBarColour = 0x505050;
constexpr std::uint32_t kTickColour = 0xC0C0C0;
constexpr std::uint32_t kMarkerColour = 0xFFD000;
constexpr int kBarRows = 2;

void EnlargeGrid(const std::uint32_t* cells, StudyPicture& picture) {
    picture.assign(kStudyWidth * kStudyHeight, 0);
    for (int y = 0; y < kStudyHeight; ++y) {
        for (int x = 0; x < kStudyWidth; ++x) {
            picture[y * kStudyWidth + x] =
                cells[(y / kGridCell) * (kStudyWidth / kGridCell) + x / kGridCell];
        }
    }
}

static void Put(StudyPicture& picture, int x, int y, std::uint32_t colour) {
    if (x >= 0 && x < kStudyWidth && y >= 0 && y < kStudyHeight) {
        picture[y * kStudyWidth + x] = colour;
    }
}

void DarkenBox(StudyPicture& picture, int x0, int y0, int x1, int y1) {
    for (int y = std::max(0, y0); y < std::min(kStudyHeight, y1); ++y) {
        for (int x = std::max(0, x0); x < std::min(kStudyWidth, x1); ++x) {
            std::uint32_t& p = picture[y * kStudyWidth + x];
            p = (p & 0xFCFCFC) >> 2;
        }
    }
}

void DrawTimeline(StudyPicture& picture, const std::vector<std::int64_t>& sections,
                  std::int64_t lastFrame, std::int64_t frame) {
    const std::int64_t span = std::max<std::int64_t>(1, lastFrame);
    const auto column = [&](std::int64_t at) {
        return static_cast<int>(std::clamp<std::int64_t>(at, 0, span) * (kStudyWidth - 1) / span);
    };
    const int top = kStudyHeight - kBarRows;
    for (int y = top; y < kStudyHeight; ++y) {
        for (int x = 0; x < kStudyWidth; ++x) {
            Put(picture, x, y, x <= column(frame) ? kTickColour : kBarColour);
        }
    }
    for (const std::int64_t start : sections) {
        for (int y = top - 2; y < kStudyHeight; ++y) {
            Put(picture, column(start), y, kMarkerColour & 0x808080);
        }
    }
    for (int y = top - 3; y < kStudyHeight; ++y) {
        Put(picture, column(frame), y, kMarkerColour);
    }
}

} // namespace platform
