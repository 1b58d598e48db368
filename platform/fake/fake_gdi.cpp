// The double's GDI: the stock brush and text drawn into a surface with fixed cell metrics.
#include <string>

#include "platform/fake/fake_state.h"

namespace fake {

namespace {

std::string DCName(HDC dc) {
    return dc == nullptr ? "NULL" : "dc";
}

// A context the intro may draw with: handed out by GetDC and not yet given back.
FakeDC* UsableDC(HDC dc, const char* call) {
    FakeDC* found = FindDC(dc);
    if (found == nullptr || !found->valid) {
        Violation(std::string(call) + " on a device context that is not held");
        return nullptr;
    }
    return found;
}

// COLORREF is 0x00BBGGRR; the surface holds 0x00RRGGBB.
uint32_t PixelOf(COLORREF color) {
    const uint32_t red = color & 0xFF;
    const uint32_t green = (color >> 8) & 0xFF;
    const uint32_t blue = (color >> 16) & 0xFF;
    return (red << 16) | (green << 8) | blue;
}

void DrawCell(FakeDC* dc, int left, int top, char character) {
    LONG pitch = 0;
    uint32_t* pixels = SurfacePixels(dc->surface, &pitch);
    const int stride = pitch / 4;
    const bool ink = character != ' ';
    for (int row = 0; row < kCharHeight; ++row) {
        for (int column = 0; column < kCharWidth; ++column) {
            const int x = left + column;
            const int y = top + row;
            if (x < 0 || y < 0 || x >= kWidth || y >= kHeight) {
                continue;
            }
            const bool inked = ink && column >= kInkLeft && column <= kInkRight && row >= kInkTop &&
                               row <= kInkBottom;
            if (inked) {
                pixels[y * stride + x] = PixelOf(dc->textColor);
            } else if (dc->bkMode == OPAQUE) {
                pixels[y * stride + x] = PixelOf(dc->bkColor);
            }
        }
    }
}

} // namespace

FakeDC* FindDC(HDC dc) {
    for (auto& candidate : S().dcs) {
        if (reinterpret_cast<HDC>(candidate.get()) == dc) {
            return candidate.get();
        }
    }
    return nullptr;
}

void SetTextExtent(LONG cx, LONG cy) {
    S().extentOverride = true;
    S().extent = SIZE{cx, cy};
}

const std::vector<TextDraw>& TextDraws() {
    return S().textDraws;
}

} // namespace fake

using namespace fake;

HGDIOBJ WINAPI GetStockObject(int object) {
    S().lastStockObject = object;
    static int stock[8];
    const long long ok = Enter("", "GetStockObject", std::to_string(object), 1);
    return ok && object >= 0 && object < 8 ? reinterpret_cast<HGDIOBJ>(&stock[object]) : nullptr;
}

BOOL WINAPI GetTextExtentPoint32A(HDC dc, LPCSTR text, int length, LPSIZE size) {
    const long long ok = Enter(
        "", "GetTextExtentPoint32A",
        DCName(dc) + ", " + Quote(text, length) + ", " + std::to_string(length) + ", size", TRUE);
    if (UsableDC(dc, "GetTextExtentPoint32A") == nullptr || !ok) {
        return FALSE;
    }
    if (S().extentOverride) {
        *size = S().extent;
    } else {
        size->cx = kCharWidth * length;
        size->cy = kCharHeight;
    }
    return TRUE;
}

COLORREF WINAPI SetBkColor(HDC dc, COLORREF color) {
    Enter("", "SetBkColor", DCName(dc) + ", " + Hex(color, 6), 0);
    FakeDC* found = UsableDC(dc, "SetBkColor");
    if (found == nullptr) {
        return 0xFFFFFFFF; // CLR_INVALID
    }
    const COLORREF previous = found->bkColor;
    found->bkColor = color;
    return previous;
}

int WINAPI SetBkMode(HDC dc, int mode) {
    Enter("", "SetBkMode", DCName(dc) + ", " + std::to_string(mode), 0);
    FakeDC* found = UsableDC(dc, "SetBkMode");
    if (found == nullptr) {
        return 0;
    }
    const int previous = found->bkMode;
    found->bkMode = mode;
    return previous;
}

COLORREF WINAPI SetTextColor(HDC dc, COLORREF color) {
    Enter("", "SetTextColor", DCName(dc) + ", " + Hex(color, 6), 0);
    FakeDC* found = UsableDC(dc, "SetTextColor");
    if (found == nullptr) {
        return 0xFFFFFFFF;
    }
    const COLORREF previous = found->textColor;
    found->textColor = color;
    return previous;
}

BOOL WINAPI TextOutA(HDC dc, int x, int y, LPCSTR text, int length) {
    Enter("", "TextOutA",
          DCName(dc) + ", " + std::to_string(x) + ", " + std::to_string(y) + ", " +
              Quote(text, length) + ", " + std::to_string(length),
          TRUE);
    FakeDC* found = UsableDC(dc, "TextOutA");
    if (found == nullptr) {
        return FALSE;
    }
    S().textDraws.push_back(TextDraw{x, y, std::string(text, static_cast<size_t>(length)),
                                     found->bkMode, found->bkColor, found->textColor});
    for (int i = 0; i < length; ++i) {
        DrawCell(found, x + i * kCharWidth, y, text[i]);
    }
    return TRUE;
}
