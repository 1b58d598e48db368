// The study's text in the stand-in's system font (FreeType, gdi_font.h).
#include "study_text.h"

#include "gdi_font.h"
#include "message_queue.h"
#include "study_mode.h"

#include <algorithm>

namespace platform {

constexpr std::uint32_t kTextColour = 0xFFFFFF;

static void PutTextPixel(StudyPicture& picture, int x, int y) {
    if (x >= 0 && x < kStudyWidth && y >= 0 && y < kStudyHeight) {
        picture[y * kStudyWidth + x] = kTextColour;
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
    DarkenBox(picture, x - 2, y - 1, x + width + 2,
              y + lineHeight * static_cast<int>(lines.size()) + 1);
    for (const std::string& line : lines) {
        int pen = x;
        for (char c : line) {
            const Glyph& glyph = font->glyphs[static_cast<unsigned char>(c)];
            const int top = y + font->ascent - glyph.top;
            for (int row = 0; row < glyph.rows; ++row) {
                for (int column = 0; column < glyph.width; ++column) {
                    if (glyph.coverage[row * glyph.width + column] != 0) {
                        PutTextPixel(picture, pen + glyph.left + column, top + row);
                    }
                }
            }
            pen += glyph.advance;
        }
        y += lineHeight;
    }
}

bool SiftQueuedStudyKeys() {
    return QueueSift(StudyTakeKey);
}

} // namespace platform
