// The Windows window-manager, GDI and runtime names the intro uses, for Linux and the web.
//
// Only what the intro calls is declared, with the Windows SDK's names, signatures, record fields
// and constant values, so the intro reads (and would compile) as a 32-bit Windows program. Sizes
// follow Windows, not the LP64 host: DWORD and LONG are 32 bits. The functions are implemented by
// platform/common over the program's backend (backend.h there), or by the test double; the
// Windows build has the system's own.
#ifndef ZARVO_PLATFORM_INCLUDE_WINDOWS_H
#define ZARVO_PLATFORM_INCLUDE_WINDOWS_H

#include <cstdint>
#include <cstddef>

#define WINAPI
#define CALLBACK
#define APIENTRY

// ---- basic types ----------------------------------------------------------------------------
typedef int BOOL;
typedef unsigned char BYTE;
typedef std::uint16_t WORD;
typedef std::uint32_t DWORD;
typedef std::int32_t LONG;
typedef std::uint32_t ULONG;
typedef unsigned int UINT;
typedef int INT;
typedef char CHAR;
typedef LONG HRESULT;
typedef std::uintptr_t WPARAM;
typedef std::intptr_t LPARAM;
typedef std::intptr_t LRESULT;
typedef WORD ATOM;
typedef DWORD COLORREF;
typedef const char* LPCSTR;
typedef char* LPSTR;
typedef void* LPVOID;
typedef void* HANDLE;

// Handles are distinct pointer types, as with the SDK's STRICT setting.
#define ZARVO_DECLARE_HANDLE(name)                                                                 \
    struct name##__;                                                                               \
    typedef name##__* name
ZARVO_DECLARE_HANDLE(HWND);
ZARVO_DECLARE_HANDLE(HINSTANCE);
ZARVO_DECLARE_HANDLE(HDC);
ZARVO_DECLARE_HANDLE(HICON);
ZARVO_DECLARE_HANDLE(HBRUSH);
ZARVO_DECLARE_HANDLE(HMENU);
ZARVO_DECLARE_HANDLE(HGDIOBJ);
#undef ZARVO_DECLARE_HANDLE
typedef HICON HCURSOR;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

struct GUID {
    DWORD Data1;
    WORD Data2;
    WORD Data3;
    BYTE Data4[8];
};
typedef const GUID& REFIID;

inline bool operator==(const GUID& a, const GUID& b) {
    if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3) {
        return false;
    }
    for (int i = 0; i < 8; ++i) {
        if (a.Data4[i] != b.Data4[i]) {
            return false;
        }
    }
    return true;
}

struct POINT {
    LONG x;
    LONG y;
};

struct SIZE {
    LONG cx;
    LONG cy;
};
typedef SIZE* LPSIZE;

struct RECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};
typedef RECT* LPRECT;

struct MSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
};
typedef MSG* LPMSG;

typedef LRESULT(CALLBACK* WNDPROC)(HWND, UINT, WPARAM, LPARAM);

struct WNDCLASSA {
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    LPCSTR lpszMenuName;
    LPCSTR lpszClassName;
};

// ---- result codes -----------------------------------------------------------------------------
constexpr HRESULT S_OK = 0;
constexpr HRESULT E_NOTIMPL = static_cast<HRESULT>(0x80004001u);
constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002u);
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);
constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057u);
constexpr HRESULT CO_E_NOTINITIALIZED = static_cast<HRESULT>(0x800401F0u);

// ---- constants --------------------------------------------------------------------------------
#define MAKEINTRESOURCEA(i)                                                                        \
    (reinterpret_cast<LPSTR>(static_cast<std::uintptr_t>(static_cast<WORD>(i))))
#define IDC_ARROW MAKEINTRESOURCEA(32512)

constexpr UINT CS_VREDRAW = 0x0001;
constexpr UINT CS_HREDRAW = 0x0002;
constexpr DWORD WS_POPUP = 0x80000000u;
constexpr DWORD WS_EX_TOPMOST = 0x00000008u;
constexpr int SM_CXSCREEN = 0;
constexpr int SM_CYSCREEN = 1;
constexpr int SW_SHOWDEFAULT = 10;
constexpr int BLACK_BRUSH = 4;

constexpr UINT PM_NOREMOVE = 0x0000;
constexpr UINT PM_REMOVE = 0x0001;

constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_QUIT = 0x0012;
constexpr UINT WM_ACTIVATEAPP = 0x001C;
constexpr UINT WM_SETCURSOR = 0x0020;
constexpr UINT WM_KEYDOWN = 0x0100;

constexpr int VK_ESCAPE = 0x1B;
constexpr int VK_SPACE = 0x20;
constexpr int VK_HOME = 0x24;
constexpr int VK_LEFT = 0x25;
constexpr int VK_RIGHT = 0x27;
constexpr int VK_F1 = 0x70;
constexpr int VK_OEM_COMMA = 0xBC;
constexpr int VK_OEM_PERIOD = 0xBE;
constexpr int VK_OEM_2 = 0xBF; // '/' and '?' on a US keyboard

constexpr UINT MB_OK = 0x00000000;
constexpr UINT MB_ICONERROR = 0x00000010;
constexpr int IDOK = 1;

constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;

// ---- USER32: window class, window, messages, cursor, message box, rectangles -------------------
// Registers a class by name; keeps lpfnWndProc, hIcon, hCursor, hbrBackground; 0 for a null
// record, no procedure or name, or a name already taken. style is stored, not acted on.
ATOM WINAPI RegisterClassA(const WNDCLASSA* wndClass);
// Makes a window of a registered class, hidden until ShowWindow; the backend follows it
// with what it has behind it (a WS_POPUP window covers the screen); parent, menu and param are
// ignored. Null when the
// class is unknown or the backend refuses (each holds one window).
HWND WINAPI CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x,
                            int y, int width, int height, HWND parent, HMENU menu,
                            HINSTANCE instance, LPVOID param);
// The program's own icon for its instance and resource number (MAKEINTRESOURCEA(101)); null for
// any other number, a name, or a null instance.
HICON WINAPI LoadIconA(HINSTANCE instance, LPCSTR iconName);
// The system arrow for a null instance and IDC_ARROW; null for anything else.
HCURSOR WINAPI LoadCursorA(HINSTANCE instance, LPCSTR cursorName);
// SM_CXSCREEN / SM_CYSCREEN: the screen's size, as the backend knows it; 0 otherwise.
int WINAPI GetSystemMetrics(int index);
// Shows the window (the command is not looked at); returns whether it was visible before.
BOOL WINAPI ShowWindow(HWND window, int showCommand);
// Nothing to paint here: TRUE for a live window, FALSE otherwise.
BOOL WINAPI UpdateWindow(HWND window);
// Gives the window the keyboard; the application becomes active (WM_ACTIVATEAPP 1 is queued).
// Returns the window that had the keyboard, or null.
HWND WINAPI SetFocus(HWND window);

// The thread's queue, fed from the backend's events at each call: PM_REMOVE takes the message,
// PM_NOREMOVE leaves it queued; the window and filter range select as on Windows.
BOOL WINAPI PeekMessageA(LPMSG msg, HWND window, UINT filterMin, UINT filterMax, UINT removeMsg);
// Takes the next message, waiting for one; returns 0 for WM_QUIT (after PostQuitMessage).
BOOL WINAPI GetMessageA(LPMSG msg, HWND window, UINT filterMin, UINT filterMax);
// Makes no character messages (none are wanted): always FALSE.
BOOL WINAPI TranslateMessage(const MSG* msg);
// Calls the procedure of the message's window and returns its result (0 for a dead window).
LRESULT WINAPI DispatchMessageA(const MSG* msg);
// Sleeps until the backend has an event for the queue.
BOOL WINAPI WaitMessage(void);
// Queues a message for a live window; FALSE for a dead one.
BOOL WINAPI PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// The default handling: WM_CLOSE destroys the window (WM_DESTROY reaches its procedure first);
// every other message gives 0.
LRESULT WINAPI DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Queues WM_QUIT, so that the next GetMessageA returns 0.
void WINAPI PostQuitMessage(int exitCode);

// Sets the pointer over the window; NULL hides it. Returns the cursor set before.
HCURSOR WINAPI SetCursor(HCURSOR cursor);
// A modal box with an OK button, as the backend can show one ("caption: text" on standard error
// where it has no other); type picks no icon here. Returns IDOK once dismissed.
int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
// Whether the handle is a window that has not been destroyed.
BOOL WINAPI IsWindow(HWND window);
// Whether the window lives and has been shown.
BOOL WINAPI IsWindowVisible(HWND window);
// Fills the rectangle; FALSE for a null one.
BOOL WINAPI SetRect(LPRECT rect, int left, int top, int right, int bottom);

// ---- GDI32: stock objects and text --------------------------------------------------------------
// BLACK_BRUSH (for the class background); null for any other object.
HGDIOBJ WINAPI GetStockObject(int object);
// The size of `length` characters in the context's font (the platform's default face).
BOOL WINAPI GetTextExtentPoint32A(HDC dc, LPCSTR text, int length, LPSIZE size);
// The colour OPAQUE text cells are filled with (0x00BBGGRR); returns the previous one.
COLORREF WINAPI SetBkColor(HDC dc, COLORREF color);
// OPAQUE (the default) fills each text cell with the background colour first, TRANSPARENT
// draws the glyphs alone; returns the previous mode, 0 for a bad context or mode.
int WINAPI SetBkMode(HDC dc, int mode);
// The colour of the glyphs (0x00BBGGRR, default black); returns the previous one.
COLORREF WINAPI SetTextColor(HDC dc, COLORREF color);
// Draws `length` characters with their cell's top-left at x, y in the surface's pixels, clipped
// to the surface.
BOOL WINAPI TextOutA(HDC dc, int x, int y, LPCSTR text, int length);

// ---- the program's entry point, called by the runtime's start-up code --------------------------
// Defined by the intro; called once by main (entry_main.cpp) after the backend's start-up, with
// a non-null instance, a null previous instance, the command-line tail and SW_SHOWDEFAULT.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE previousInstance, LPSTR commandLine,
                   int showCommand);

#endif
