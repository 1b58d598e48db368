// The study's drawings over the picture: the enlarged grid, text boxes and the timeline.
#include "study_picture.h"

#include "gdi_font.h"

#include <algorithm>

namespace platform {

constexpr int kGridCell = 4;
constexpr std::uint32_t kTextColour = 0xFFFFFF;
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

// A quarter of every channel: the box lets the picture show through, dimmed.
static void Darken(StudyPicture& picture, int x0, int y0, int x1, int y1) {
    for (int y = std::max(0, y0); y < std::min(kStudyHeight, y1); ++y) {
        for (int x = std::max(0, x0); x < std::min(kStudyWidth, x1); ++x) {
            std::uint32_t& p = picture[y * kStudyWidth + x];
            p = (p & 0xFCFCFC) >> 2;
        }
    }
}

static int TextWidth(const SystemFont& font, const std::string& line) {
    int width = 0;
    for (char c : line) {
        width += font.glyphs[static_cast<unsigned char>(c)].advance;
    }
    return width;
}

void DrawStudyText(StudyPicture& picture, int x, int y, const std::vector<std::string>& lines) {
    const SystemFont* font = AcquireSystemFont();
    if (font == nullptr || lines.empty()) {
        return;
    }
    int width = 0;
    for (const std::string& line : lines) {
        width = std::max(width, TextWidth(*font, line));
    }
    const int lineHeight = font->height;
    Darken(picture, x - 2, y - 1, x + width + 2,
           y + lineHeight * static_cast<int>(lines.size()) + 1);
    for (const std::string& line : lines) {
        int pen = x;
        for (char c : line) {
            const Glyph& glyph = font->glyphs[static_cast<unsigned char>(c)];
            const int top = y + font->ascent - glyph.top;
            for (int row = 0; row < glyph.rows; ++row) {
                for (int column = 0; column < glyph.width; ++column) {
                    if (glyph.coverage[row * glyph.width + column] != 0) {
                        Put(picture, pen + glyph.left + column, top + row, kTextColour);
                    }
                }
            }
            pen += glyph.advance;
        }
        y += lineHeight;
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
