// The double's window manager: class, window, message queue, cursor, message box, rectangles.
#include <string>

#include "platform/fake/fake_state.h"

namespace fake {

namespace {

// An id handed over through MAKEINTRESOURCEA, or -1 for a real name.
int ResourceId(LPCSTR name) {
    const auto value = reinterpret_cast<std::uintptr_t>(name);
    return value < 0x10000 ? static_cast<int>(value) : -1;
}

HWND HandleOf(FakeWindow* window) {
    return reinterpret_cast<HWND>(window);
}

std::string Number(long long value) {
    return std::to_string(value);
}

std::string MessageText(UINT message, WPARAM wParam, LPARAM lParam) {
    return Hex(message, 4) + ", " + Number(static_cast<long long>(wParam)) + ", " +
           Number(static_cast<long long>(lParam));
}

LRESULT Deliver(FakeWindow* window, UINT message, WPARAM wParam, LPARAM lParam) {
    return window->proc(HandleOf(window), message, wParam, lParam);
}

} // namespace

FakeWindow* FindWindow(HWND window) {
    for (auto& candidate : S().windows) {
        if (HandleOf(candidate.get()) == window) {
            return candidate.get();
        }
    }
    return nullptr;
}

std::string WindowName(HWND window) {
    if (window == nullptr) {
        return "NULL";
    }
    FakeWindow* found = FindWindow(window);
    if (found == nullptr) {
        return "hwnd?";
    }
    return found == S().windows.front().get() ? "window" : "window2";
}

void SetActivateOnShow(bool on) {
    S().activateOnShow = on;
}

const std::vector<ClassRecord>& Classes() {
    return S().classes;
}

const std::vector<WindowRecord>& Windows() {
    State& state = S();
    state.windowRecords.clear();
    for (auto& window : state.windows) {
        state.windowRecords.push_back(window->record);
    }
    return state.windowRecords;
}

HWND MainWindow() {
    return S().windows.empty() ? nullptr : HandleOf(S().windows.front().get());
}

bool WindowAlive() {
    return !S().windows.empty() && !S().windows.front()->record.destroyed;
}

void Post(UINT message, WPARAM wParam, LPARAM lParam) {
    S().queue.push_back(MSG{MainWindow(), message, wParam, lParam, 0, POINT{0, 0}});
}

const std::vector<Box>& Boxes() {
    return S().boxes;
}

} // namespace fake

using namespace fake;

HICON WINAPI LoadIconA(HINSTANCE instance, LPCSTR iconName) {
    const int id = ResourceId(iconName);
    S().lastIconId = id;
    static int icon;
    const long long ok =
        Enter("", "LoadIconA",
              std::string(instance ? "instance" : "NULL") + ", " + std::to_string(id), 1);
    return ok ? reinterpret_cast<HICON>(&icon) : nullptr;
}

HCURSOR WINAPI LoadCursorA(HINSTANCE instance, LPCSTR cursorName) {
    const int id = ResourceId(cursorName);
    S().lastCursorId = id;
    static int cursor;
    const long long ok =
        Enter("", "LoadCursorA",
              std::string(instance ? "instance" : "NULL") + ", " + std::to_string(id), 1);
    return ok ? reinterpret_cast<HCURSOR>(&cursor) : nullptr;
}

ATOM WINAPI RegisterClassA(const WNDCLASSA* wndClass) {
    const std::string name = wndClass->lpszClassName ? wndClass->lpszClassName : "";
    const long long result = Enter("", "RegisterClassA", "\"" + name + "\"", kClassAtom);
    if (result != 0) {
        State& state = S();
        state.classes.push_back(ClassRecord{*wndClass, name, state.lastIconId, state.lastCursorId,
                                            state.lastStockObject});
    }
    return static_cast<ATOM>(result);
}

HWND WINAPI CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x,
                            int y, int width, int height, HWND parent, HMENU menu,
                            HINSTANCE instance, LPVOID param) {
    const std::string cls = className ? className : "";
    const std::string title = windowName ? windowName : "";
    const long long ok = Enter(
        "", "CreateWindowExA",
        Hex(exStyle) + ", \"" + cls + "\", \"" + title + "\", " + Hex(style) + ", " +
            std::to_string(x) + ", " + std::to_string(y) + ", " + std::to_string(width) + ", " +
            std::to_string(height) + ", " + WindowName(parent) + ", " + (menu ? "menu" : "NULL") +
            ", " + (instance ? "instance" : "NULL") + ", " + (param ? "param" : "NULL"),
        1);
    if (!ok) {
        return nullptr;
    }
    State& state = S();
    WNDPROC proc = nullptr;
    for (const ClassRecord& registered : state.classes) {
        if (registered.className == cls) {
            proc = registered.fields.lpfnWndProc;
        }
    }
    if (proc == nullptr) {
        Violation("CreateWindowExA with a class that was never registered");
        return nullptr;
    }
    auto window = std::make_unique<FakeWindow>();
    window->record = WindowRecord{exStyle, cls,    title, style,    x,     y,     width,
                                  height,  parent, menu,  instance, param, false, false};
    window->proc = proc;
    state.windows.push_back(std::move(window));
    return HandleOf(state.windows.back().get());
}

int WINAPI GetSystemMetrics(int index) {
    const int value = index == SM_CXSCREEN   ? kScreenWidth
                      : index == SM_CYSCREEN ? kScreenHeight
                                             : 0;
    return static_cast<int>(Enter("", "GetSystemMetrics", std::to_string(index), value));
}

BOOL WINAPI ShowWindow(HWND window, int showCommand) {
    Enter("", "ShowWindow", WindowName(window) + ", " + std::to_string(showCommand), 0);
    FakeWindow* found = FindWindow(window);
    if (found == nullptr || found->record.destroyed) {
        return FALSE;
    }
    const bool wasVisible = found->record.visible;
    found->record.visible = showCommand != 0;
    if (!wasVisible && found->record.visible && S().activateOnShow) {
        // A topmost window coming up takes the activation; the procedure hears it at once.
        Deliver(found, WM_ACTIVATEAPP, 1, 0);
    }
    return wasVisible ? TRUE : FALSE;
}

BOOL WINAPI UpdateWindow(HWND window) {
    return static_cast<BOOL>(Enter("", "UpdateWindow", WindowName(window), TRUE));
}

HWND WINAPI SetFocus(HWND window) {
    Enter("", "SetFocus", WindowName(window), 0);
    return nullptr;
}

BOOL WINAPI PeekMessageA(LPMSG msg, HWND window, UINT filterMin, UINT filterMax, UINT removeMsg) {
    Enter("", "PeekMessageA",
          "msg, " + WindowName(window) + ", " + std::to_string(filterMin) + ", " +
              std::to_string(filterMax) + ", " + std::to_string(removeMsg),
          0);
    State& state = S();
    if (state.queue.empty()) {
        return FALSE;
    }
    *msg = state.queue.front();
    if (removeMsg & PM_REMOVE) {
        state.queue.pop_front();
    }
    return TRUE;
}

BOOL WINAPI GetMessageA(LPMSG msg, HWND window, UINT filterMin, UINT filterMax) {
    Enter("", "GetMessageA",
          "msg, " + WindowName(window) + ", " + std::to_string(filterMin) + ", " +
              std::to_string(filterMax),
          0);
    State& state = S();
    if (state.queue.empty()) {
        throw Stalled("fake: GetMessageA would wait for ever on an empty queue");
    }
    *msg = state.queue.front();
    state.queue.pop_front();
    return msg->message == WM_QUIT ? FALSE : TRUE;
}

BOOL WINAPI TranslateMessage(const MSG* msg) {
    Enter("", "TranslateMessage", MessageText(msg->message, msg->wParam, msg->lParam), 0);
    return FALSE;
}

LRESULT WINAPI DispatchMessageA(const MSG* msg) {
    Enter("", "DispatchMessageA", MessageText(msg->message, msg->wParam, msg->lParam), 0);
    FakeWindow* found = FindWindow(msg->hwnd);
    if (found == nullptr || found->record.destroyed) {
        return 0;
    }
    return Deliver(found, msg->message, msg->wParam, msg->lParam);
}

BOOL WINAPI WaitMessage(void) {
    Enter("", "WaitMessage", "", TRUE);
    if (S().queue.empty()) {
        throw Stalled("fake: WaitMessage would sleep for ever on an empty queue");
    }
    return TRUE;
}

BOOL WINAPI PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const long long ok = Enter(
        "", "PostMessageA", WindowName(window) + ", " + MessageText(message, wParam, lParam), TRUE);
    FakeWindow* found = FindWindow(window);
    if (!ok || found == nullptr || found->record.destroyed) {
        return FALSE;
    }
    S().queue.push_back(MSG{window, message, wParam, lParam, 0, POINT{0, 0}});
    return TRUE;
}

LRESULT WINAPI DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const long long result = Enter(
        "", "DefWindowProcA", WindowName(window) + ", " + MessageText(message, wParam, lParam), 0);
    FakeWindow* found = FindWindow(window);
    if (message == WM_CLOSE && found != nullptr && !found->record.destroyed) {
        // The default close destroys the window, which sends WM_DESTROY to its procedure.
        found->record.destroyed = true;
        found->record.visible = false;
        Deliver(found, WM_DESTROY, 0, 0);
    }
    return static_cast<LRESULT>(result);
}

void WINAPI PostQuitMessage(int exitCode) {
    Enter("", "PostQuitMessage", std::to_string(exitCode), 0);
    S().queue.push_back(MSG{nullptr, WM_QUIT, static_cast<WPARAM>(exitCode), 0, 0, POINT{0, 0}});
}

HCURSOR WINAPI SetCursor(HCURSOR cursor) {
    Enter("", "SetCursor", cursor ? "cursor" : "NULL", 0);
    return nullptr;
}

int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    const std::string body = text ? text : "";
    const std::string title = caption ? caption : "";
    const long long result =
        Enter("", "MessageBoxA",
              WindowName(owner) + ", \"" + body + "\", \"" + title + "\", " + Hex(type), IDOK);
    State& state = S();
    state.boxes.push_back(Box{owner, body, title, type, LiveDisplayObjects(), state.exclusive,
                              state.modeChanged, state.soundStarted && !state.soundClosed});
    return static_cast<int>(result);
}

BOOL WINAPI IsWindow(HWND window) {
    FakeWindow* found = FindWindow(window);
    const bool alive = found != nullptr && !found->record.destroyed;
    return static_cast<BOOL>(Enter("", "IsWindow", WindowName(window), alive ? TRUE : FALSE));
}

BOOL WINAPI IsWindowVisible(HWND window) {
    FakeWindow* found = FindWindow(window);
    const bool visible = found != nullptr && !found->record.destroyed && found->record.visible;
    return static_cast<BOOL>(
        Enter("", "IsWindowVisible", WindowName(window), visible ? TRUE : FALSE));
}

BOOL WINAPI SetRect(LPRECT rect, int left, int top, int right, int bottom) {
    Enter("", "SetRect",
          "rect, " + std::to_string(left) + ", " + std::to_string(top) + ", " +
              std::to_string(right) + ", " + std::to_string(bottom),
          TRUE);
    *rect = RECT{left, top, right, bottom};
    return TRUE;
}
