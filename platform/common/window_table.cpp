// Window classes and window records: registration, creation, destruction and default handling.
#include "window_table.h"

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

namespace platform {

struct WindowTable {
    std::map<std::string, WNDCLASSA> classes;
    std::vector<std::unique_ptr<WindowRecord>> windows; // handle n is windows[n - 1]
    HWND focused = nullptr;
    ATOM nextAtom = 0xC000; // class atoms are numbered from 0xC000, as on Windows
};

static WindowTable table;

static HWND HandleOf(std::size_t index) {
    return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(index + 1));
}

static WindowRecord* Record(HWND window) {
    const auto number = reinterpret_cast<std::uintptr_t>(window);
    if (number == 0 || number > table.windows.size()) {
        return nullptr;
    }
    return table.windows[number - 1].get();
}

static WindowRecord* LiveRecord(HWND window) {
    WindowRecord* record = Record(window);
    return record != nullptr && record->alive ? record : nullptr;
}

static const WindowHooks& Hooks() {
    return InstalledBackend().win32.windows;
}

ATOM RegisterWindowClass(const WNDCLASSA* wndClass) {
    if (wndClass == nullptr || wndClass->lpfnWndProc == nullptr ||
        wndClass->lpszClassName == nullptr || wndClass->lpszClassName[0] == '\0') {
        return 0;
    }
    const std::string name = wndClass->lpszClassName;
    if (table.classes.count(name) != 0) {
        return 0;
    }
    WNDCLASSA stored = *wndClass;
    stored.lpszClassName = nullptr; // the caller's string may not outlive the call
    stored.lpszMenuName = nullptr;
    table.classes.emplace(name, stored);
    return table.nextAtom++;
}

HWND CreateWindowRecord(DWORD exStyle, const char* className, const char* title, DWORD style, int x,
                        int y, int width, int height) {
    if (className == nullptr) {
        return nullptr;
    }
    const auto found = table.classes.find(className);
    if (found == table.classes.end()) {
        return nullptr;
    }
    auto record = std::make_unique<WindowRecord>();
    record->className = className;
    record->title = title != nullptr ? title : "";
    record->proc = found->second.lpfnWndProc;
    record->icon = found->second.hIcon;
    record->style = style;
    record->exStyle = exStyle;
    record->x = x;
    record->y = y;
    record->width = width;
    record->height = height;
    record->alive = true;
    table.windows.push_back(std::move(record));
    const HWND window = HandleOf(table.windows.size() - 1);
    if (Hooks().create != nullptr && !Hooks().create(window, *table.windows.back())) {
        table.windows.back()->alive = false;
        return nullptr;
    }
    return window;
}

void DestroyWindowRecord(HWND window) {
    WindowRecord* record = LiveRecord(window);
    if (record == nullptr) {
        return;
    }
    // WM_DESTROY reaches the procedure while the window still exists, as on Windows.
    record->proc(window, WM_DESTROY, 0, 0);
    record = Record(window);
    if (!record->alive) {
        return; // the procedure destroyed it itself
    }
    record->alive = false;
    record->visible = false;
    if (table.focused == window) {
        table.focused = nullptr;
    }
    if (Hooks().destroy != nullptr) {
        Hooks().destroy(window);
    }
}

LRESULT DefaultWindowProc(HWND window, UINT message, WPARAM /*wParam*/, LPARAM /*lParam*/) {
    if (message == WM_CLOSE) {
        DestroyWindowRecord(window);
    }
    return 0;
}

bool WindowIsAlive(HWND window) {
    return LiveRecord(window) != nullptr;
}

bool WindowIsVisible(HWND window) {
    const WindowRecord* record = LiveRecord(window);
    return record != nullptr && record->visible;
}

bool SetWindowVisible(HWND window, bool visible) {
    WindowRecord* record = LiveRecord(window);
    if (record == nullptr) {
        return false;
    }
    const bool before = record->visible;
    record->visible = visible;
    if (Hooks().show != nullptr && before != visible) {
        Hooks().show(window, visible);
    }
    return before;
}

HWND FocusWindow(HWND window) {
    if (LiveRecord(window) == nullptr) {
        return nullptr;
    }
    const HWND before = table.focused;
    table.focused = window;
    if (Hooks().focus != nullptr) {
        Hooks().focus(window);
    }
    return before;
}

WNDPROC WindowProcedure(HWND window) {
    const WindowRecord* record = LiveRecord(window);
    return record != nullptr ? record->proc : nullptr;
}

void ResetWindowTable() {
    table.classes.clear();
    table.windows.clear();
    table.focused = nullptr;
}

} // namespace platform
