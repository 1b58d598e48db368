// USER32/GDI32 services that every real backend answers alike: icon, cursor and stock objects,
// with the backend's part (the cursor's visibility, the screen's size, the message box) asked
// of its Win32Services (backend.h).
//
// LoadIconA finds the program's icon resource (win32_resources.h); LoadCursorA knows the system's
// arrow only; GetStockObject knows BLACK_BRUSH only. Main thread only.
#include "backend.h"
#include "win32_resources.h"

#include <windows.h>

#include <cstdint>
#include <cstdio>

namespace platform {

// Handles only need to be distinct and non-null; nothing looks inside them.
static int arrowCursor;
static int blackBrush;

static const Win32Services& Services() {
    return InstalledBackend().win32;
}

} // namespace platform

HICON WINAPI LoadIconA(HINSTANCE instance, LPCSTR iconName) {
    // The program's own module holds its icons; resource names are numbers here.
    const auto id = reinterpret_cast<std::uintptr_t>(iconName);
    if (instance == nullptr || id > 0xFFFF) {
        return nullptr;
    }
    return platform::FindIconResource(static_cast<int>(id));
}

HCURSOR WINAPI LoadCursorA(HINSTANCE instance, LPCSTR cursorName) {
    if (instance != nullptr || cursorName != IDC_ARROW) {
        return nullptr; // only the system's arrow is known
    }
    return reinterpret_cast<HCURSOR>(&platform::arrowCursor);
}

HCURSOR WINAPI SetCursor(HCURSOR cursor) {
    static HCURSOR current = reinterpret_cast<HCURSOR>(&platform::arrowCursor);
    const HCURSOR before = current;
    current = cursor;
    if (platform::Services().showCursor != nullptr) {
        platform::Services().showCursor(cursor != nullptr);
    }
    return before;
}

HGDIOBJ WINAPI GetStockObject(int object) {
    return object == BLACK_BRUSH ? reinterpret_cast<HGDIOBJ>(&platform::blackBrush) : nullptr;
}

int WINAPI GetSystemMetrics(int index) {
    if ((index != SM_CXSCREEN && index != SM_CYSCREEN) ||
        platform::Services().screenMetric == nullptr) {
        return 0;
    }
    return platform::Services().screenMetric(index);
}

int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT /*type*/) {
    const char* body = text != nullptr ? text : "";
    const char* title = caption != nullptr ? caption : "Error";
    if (platform::Services().messageBox != nullptr) {
        platform::Services().messageBox(owner, body, title);
    } else {
        std::fprintf(stderr, "%s: %s\n", title, body);
        std::fflush(stderr);
    }
    return IDOK;
}
