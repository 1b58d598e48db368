// GDI32 text functions over the shared device contexts (gdi_context.h).
#include "gdi_context.h"

#include <windows.h>

BOOL WINAPI GetTextExtentPoint32A(HDC dc, LPCSTR text, int length, LPSIZE size) {
    return platform::MeasureText(dc, text, length, size) ? TRUE : FALSE;
}

COLORREF WINAPI SetBkColor(HDC dc, COLORREF color) {
    return platform::SetContextBackColor(dc, color);
}

int WINAPI SetBkMode(HDC dc, int mode) {
    return platform::SetContextBackMode(dc, mode);
}

COLORREF WINAPI SetTextColor(HDC dc, COLORREF color) {
    return platform::SetContextTextColor(dc, color);
}

BOOL WINAPI TextOutA(HDC dc, int x, int y, LPCSTR text, int length) {
    return platform::DrawText(dc, x, y, text, length) ? TRUE : FALSE;
}
