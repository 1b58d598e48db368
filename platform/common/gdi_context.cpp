// Device contexts over surface pixels: their state, text measurement and clipped text drawing.
#include "gdi_context.h"

#include "gdi_font.h"

#include <algorithm>
#include <unordered_set>
#include <utility>

namespace platform {

struct GdiContext {
    std::uint32_t* pixels;
    int width;
    int height;
    int pitchPixels;
    COLORREF textColor = 0x000000;
    COLORREF backColor = 0xFFFFFF;
    int backMode = OPAQUE;
};

static std::unordered_set<GdiContext*>& LiveContexts() {
    static std::unordered_set<GdiContext*> live;
    return live;
}

static GdiContext* Context(HDC dc) {
    auto* context = reinterpret_cast<GdiContext*>(dc);
    return LiveContexts().count(context) != 0 ? context : nullptr;
}

HDC CreateGdiContext(std::uint32_t* pixels, int width, int height, int pitchPixels) {
    if (pixels == nullptr || width <= 0 || height <= 0 || pitchPixels < width) {
        return nullptr;
    }
    auto* context = new GdiContext{pixels, width, height, pitchPixels};
    LiveContexts().insert(context);
    return reinterpret_cast<HDC>(context);
}

void DestroyGdiContext(HDC dc) {
    GdiContext* context = Context(dc);
    if (context != nullptr) {
        LiveContexts().erase(context);
        delete context;
    }
}

bool IsLiveGdiContext(HDC dc) {
    return Context(dc) != nullptr;
}

COLORREF SetContextTextColor(HDC dc, COLORREF color) {
    GdiContext* context = Context(dc);
    if (context == nullptr) {
        return kInvalidColor;
    }
    return std::exchange(context->textColor, color & 0x00FFFFFFu);
}

COLORREF SetContextBackColor(HDC dc, COLORREF color) {
    GdiContext* context = Context(dc);
    if (context == nullptr) {
        return kInvalidColor;
    }
    return std::exchange(context->backColor, color & 0x00FFFFFFu);
}

int SetContextBackMode(HDC dc, int mode) {
    GdiContext* context = Context(dc);
    if (context == nullptr || (mode != OPAQUE && mode != TRANSPARENT)) {
        return 0;
    }
    return std::exchange(context->backMode, mode);
}

// Sum of the pen advances: the width of the cell that TextOutA fills.
static int TextWidth(const SystemFont& font, const char* text, int length) {
    int width = 0;
    for (int i = 0; i < length; ++i) {
        width += font.glyphs[static_cast<unsigned char>(text[i])].advance;
    }
    return width;
}

bool MeasureText(HDC dc, const char* text, int length, SIZE* size) {
    const GdiContext* context = Context(dc);
    const SystemFont* font = AcquireSystemFont();
    if (context == nullptr || size == nullptr || length < 0 || (text == nullptr && length > 0) ||
        font == nullptr) {
        return false;
    }
    size->cx = TextWidth(*font, text, length);
    size->cy = font->height;
    return true;
}

static void FillClipped(GdiContext& context, long left, long top, long right, long bottom,
                        std::uint32_t pixel) {
    left = std::max(left, 0L);
    top = std::max(top, 0L);
    right = std::min(right, static_cast<long>(context.width));
    bottom = std::min(bottom, static_cast<long>(context.height));
    for (long y = top; y < bottom; ++y) {
        std::uint32_t* row = context.pixels + y * context.pitchPixels;
        std::fill(row + left, row + std::max(left, right), pixel);
    }
}

bool DrawText(HDC dc, int x, int y, const char* text, int length) {
    GdiContext* context = Context(dc);
    const SystemFont* font = AcquireSystemFont();
    if (context == nullptr || length < 0 || (text == nullptr && length > 0) || font == nullptr) {
        return false;
    }
    // Positions are kept in long so that a text far off the surface cannot overflow.
    const long width = TextWidth(*font, text, length);
    if (context->backMode == OPAQUE) {
        FillClipped(*context, x, y, x + width, static_cast<long>(y) + font->height,
                    ColorRefToPixel(context->backColor));
    }
    const std::uint32_t ink = ColorRefToPixel(context->textColor);
    const long baseline = static_cast<long>(y) + font->ascent;
    long pen = x;
    for (int i = 0; i < length; ++i) {
        const Glyph& glyph = font->glyphs[static_cast<unsigned char>(text[i])];
        const long glyphLeft = pen + glyph.left;
        const long glyphTop = baseline - glyph.top;
        for (int row = 0; row < glyph.rows; ++row) {
            const long py = glyphTop + row;
            if (py < 0 || py >= context->height) {
                continue;
            }
            std::uint32_t* line = context->pixels + py * context->pitchPixels;
            const std::uint8_t* cover =
                glyph.coverage.data() + static_cast<long>(row) * glyph.width;
            for (int column = 0; column < glyph.width; ++column) {
                const long px = glyphLeft + column;
                if (cover[column] != 0 && px >= 0 && px < context->width) {
                    line[px] = ink;
                }
            }
        }
        pen += glyph.advance;
    }
    return true;
}

} // namespace platform
