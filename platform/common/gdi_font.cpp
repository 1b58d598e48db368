// Rasterising the system-style font's glyphs with FreeType (the face is the backend's, backend.h).
#include "gdi_font.h"
#include "backend.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cstdio>
#include <memory>

namespace platform {

// Code page 1252 differs from Latin-1 only in 0x80..0x9F; undefined bytes map to '?'.
static const std::uint16_t kCp1252High[32] = {
    0x20AC, 0x003F, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x003F, 0x017D, 0x003F, 0x003F, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x003F, 0x017E, 0x0178};

std::uint32_t CodePage1252ToUnicode(unsigned char byte) {
    if (byte >= 0x80 && byte < 0xA0) {
        return kCp1252High[byte - 0x80];
    }
    return byte;
}

static bool RasteriseGlyph(FT_Face face, std::uint32_t codePoint, Glyph& glyph) {
    FT_UInt index = FT_Get_Char_Index(face, codePoint);
    if (index == 0 && codePoint != ' ') {
        index = FT_Get_Char_Index(face, '?');
    }
    if (FT_Load_Glyph(face, index, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO | FT_LOAD_MONOCHROME) !=
        0) {
        return false;
    }
    const FT_GlyphSlot slot = face->glyph;
    const FT_Bitmap& bitmap = slot->bitmap;
    glyph.advance = static_cast<int>((slot->advance.x + 32) >> 6);
    glyph.left = slot->bitmap_left;
    glyph.top = slot->bitmap_top;
    glyph.width = static_cast<int>(bitmap.width);
    glyph.rows = static_cast<int>(bitmap.rows);
    glyph.coverage.assign(static_cast<std::size_t>(glyph.width) * glyph.rows, 0);
    for (int y = 0; y < glyph.rows; ++y) {
        const unsigned char* row = bitmap.buffer + static_cast<std::ptrdiff_t>(y) * bitmap.pitch;
        for (int x = 0; x < glyph.width; ++x) {
            bool set = false;
            if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO) {
                set = (row[x >> 3] & (0x80 >> (x & 7))) != 0;
            } else {
                set = row[x] >= 128;
            }
            glyph.coverage[static_cast<std::size_t>(y) * glyph.width + x] = set ? 1 : 0;
        }
    }
    return true;
}

// Prefers a bitmap strike of exactly the system font's size (drawn as designed); otherwise
// scales the outlines to it.
static bool SelectSize(FT_Face face) {
    for (int i = 0; i < face->num_fixed_sizes; ++i) {
        if (face->available_sizes[i].height == kSystemFontPixels) {
            return FT_Select_Size(face, i) == 0;
        }
    }
    return FT_Set_Pixel_Sizes(face, 0, kSystemFontPixels) == 0;
}

// The cell is the system font's 16 rows when the face has a strike of that size, else the
// face's own line height. The baseline sits so that the ASCII glyphs fit the cell, with spare
// rows split evenly above and below.
static void PlaceBaseline(FT_Face face, SystemFont& font) {
    int above = 0;
    int below = 0;
    for (int byte = 0x21; byte < 0x7F; ++byte) {
        const Glyph& glyph = font.glyphs[byte];
        if (glyph.rows > 0) {
            above = std::max(above, glyph.top);
            below = std::max(below, glyph.rows - glyph.top);
        }
    }
    if (FT_HAS_FIXED_SIZES(face) && face->size->metrics.y_ppem == kSystemFontPixels) {
        font.height = kSystemFontPixels;
    } else {
        const FT_Size_Metrics& metrics = face->size->metrics;
        font.height = static_cast<int>((metrics.ascender - metrics.descender + 63) >> 6);
    }
    const int spare = std::max(0, font.height - above - below);
    font.ascent = above + (spare + 1) / 2;
}

static std::unique_ptr<SystemFont> LoadFont(std::string& error) {
    FontFace source;
    const auto findFace = InstalledBackend().gdi.findFontFace;
    if (findFace == nullptr) {
        error = "the platform names no font face";
        return nullptr;
    }
    if (!findFace(source, error)) {
        return nullptr;
    }
    const std::string& file = source.file;
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0) {
        error = "FreeType could not be initialised";
        return nullptr;
    }
    FT_Face face = nullptr;
    if (FT_New_Face(library, file.c_str(), source.index, &face) != 0 || !SelectSize(face)) {
        error = "FreeType could not open " + file;
        if (face != nullptr) {
            FT_Done_Face(face);
        }
        FT_Done_FreeType(library);
        return nullptr;
    }
    auto font = std::make_unique<SystemFont>();
    font->family = source.family;
    font->file = file;
    bool ok = true;
    for (int byte = 0; ok && byte < 256; ++byte) {
        ok = RasteriseGlyph(face, CodePage1252ToUnicode(static_cast<unsigned char>(byte)),
                            font->glyphs[byte]);
    }
    if (ok) {
        PlaceBaseline(face, *font);
        ok = font->height > 0;
    }
    FT_Done_Face(face);
    FT_Done_FreeType(library);
    if (!ok) {
        error = "FreeType could not render the glyphs of " + file;
        return nullptr;
    }
    return font;
}

const SystemFont* AcquireSystemFont() {
    static bool tried = false;
    static std::unique_ptr<SystemFont> font;
    if (!tried) {
        tried = true;
        std::string error;
        font = LoadFont(error);
        if (!font) {
            std::fprintf(stderr, "zarvo: no font for text (%s); install fonts-terminus.\n",
                         error.c_str());
        }
    }
    return font.get();
}

} // namespace platform
