// The test double of the platform: every call recorded, every result scriptable.
//
// Tests link this backend in place of a real one and drive the intro through it. Contract:
// - Every platform function the intro calls is recorded, in order, as a Call (object, name and
//   arguments as text: `back->Lock(NULL, desc, 2049, NULL)`). Handles print by role: `window`,
//   `instance`, `primary`, `back`, `directDraw`, `directDraw1`, `dc`, `NULL`.
// - Every call succeeds unless scripted: Script("Lock", 2, DDERR_SURFACELOST) makes the second
//   Lock since Reset return that code; ScriptAlways applies to every later call. Arguments that
//   DirectDraw refuses (platform/common/ddraw_arguments.h: DirectDrawCreate, QueryInterface,
//   SetCooperativeLevel, WaitForVerticalBlank, Lock) get DirectDraw's answer whatever is
//   scripted; the call is logged all the same. For functions
//   that return a handle, a scripted 0 means null and any other value the normal handle.
// - OnCall("WaitForVerticalBlank", hook) runs hook(n) at the start of the n-th call, before its
//   result is chosen; a hook may deliver sync events, post messages or script the call itself.
// - Text metrics are fixed: every character is a cell of kCharWidth x kCharHeight pixels. In
//   OPAQUE mode (the default of a fresh context) the whole cell is filled with the background
//   colour; a character other than a blank then puts ink in the text colour on the cell's
//   columns kInkLeft..kInkRight and rows kInkTop..kInkBottom. Output is clipped to the surface.
// - A fresh device context has OPAQUE mode, a white background and black text, as on Windows.
// - The first ShowWindow sends WM_ACTIVATEAPP(1) to the window procedure, as the window manager
//   does when a topmost window comes up (SetActivateOnShow(false) turns that off).
// - WaitMessage or GetMessageA with an empty queue (after its hook), and any call beyond the
//   call budget, throw Stalled: on the real platform the program would sleep for ever.
// - Objects are never freed before Reset, so pixels stay readable after the intro's Shutdown
//   and a call on a released object is caught as a violation instead of a crash.
#ifndef ZARVO_PLATFORM_FAKE_FAKE_PLATFORM_H
#define ZARVO_PLATFORM_FAKE_FAKE_PLATFORM_H

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include <windows.h>
#include <ddraw.h>
#include <midasdll.h>

namespace fake {

// ---- the call log ---------------------------------------------------------------------------
struct Call {
    std::string object;       // the interface a method was called on ("back"), empty for functions
    std::string name;         // "Lock", "MIDASstartup", ...
    std::string args;         // the arguments as text, comma separated
    std::string Text() const; // "back->Lock(NULL, desc, 2049, NULL)" or "MIDASinit()"
};

// Forgets everything: log, scripts, hooks, windows, objects, queue, boxes, sound state.
void Reset();

// Forgets the log and the call numbers only (scripts count from here); the platform's state,
// objects, scripts and hooks stay. For tests that bring the intro up first and then watch.
void ClearLog();

const std::vector<Call>& Calls();
std::vector<std::string> CallNames();              // names only, in order
std::vector<std::string> CallTexts();              // Call::Text of each, in order
int CountCalls(const std::string& name);           // calls of `name` since Reset
int IndexOf(const std::string& name, int nth = 1); // log position of the nth call, or -1
int LastIndexOf(const std::string& name);          // log position of the last call, or -1

// ---- scripting --------------------------------------------------------------------------------
void Script(const std::string& name, int nth, long long result);
void ScriptAlways(const std::string& name, long long result);
void OnCall(const std::string& name, std::function<void(int nth)> hook);

struct Stalled : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// ---- window manager ---------------------------------------------------------------------------
constexpr int kScreenWidth = 1280; // GetSystemMetrics(SM_CXSCREEN)
constexpr int kScreenHeight = 1024;
constexpr ATOM kClassAtom = 0xC0DE;

struct WindowRecord {
    DWORD exStyle;
    std::string className;
    std::string title;
    DWORD style;
    int x, y, width, height;
    HWND parent;
    HMENU menu;
    HINSTANCE instance;
    LPVOID param;
    bool visible;
    bool destroyed;
};

struct ClassRecord {
    WNDCLASSA fields;      // lpszClassName and lpszMenuName point into the intro's memory
    std::string className; // a copy of the name
    int iconId;            // the resource id passed to LoadIconA, or -1
    int cursorId;          // the id passed to LoadCursorA, or -1
    int stockObject;       // the index passed to GetStockObject, or -1
};

struct Box {
    HWND owner;
    std::string text;
    std::string caption;
    UINT type;
    // The platform as the user would see it when the box comes up.
    int liveDisplayObjects; // DirectDraw interfaces not yet released
    bool exclusive;         // exclusive cooperative level still held
    bool modeChanged;       // 320x200 still set
    bool soundOpen;         // library started and not closed
};

void SetActivateOnShow(bool on);
const std::vector<ClassRecord>& Classes();
const std::vector<WindowRecord>& Windows();
HWND MainWindow();  // the first window created, or null
bool WindowAlive(); // the first window exists and has not been destroyed
// Queue a message for the main window as the window manager would (not logged as a call).
void Post(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
const std::vector<Box>& Boxes();

// ---- display ----------------------------------------------------------------------------------
constexpr int kWidth = 320;
constexpr int kHeight = 200;
constexpr LONG kDefaultBackPitch = 1344;  // deliberately wider than 320 pixels
constexpr DWORD kFreshPixel = 0x00335577; // a new back surface's content

const std::vector<DDSURFACEDESC2>& SurfaceRequests(); // CreateSurface descriptions, in order
uint32_t BackPixel(int x, int y);                     // the back surface (last one created)
uint32_t ScreenPixel(int x, int y);    // the primary surface: the last presented frame
std::vector<uint32_t> BackPicture();   // 320x200, row by row
std::vector<uint32_t> ScreenPicture(); // 320x200, row by row
void FillBack(uint32_t pixel);
int Presented();          // BltFast copies made
int LiveDisplayObjects(); // DirectDraw interfaces with references left
bool Exclusive();
bool ModeChanged();
bool BackLocked();
bool DCHeld();

// ---- GDI text ---------------------------------------------------------------------------------
constexpr int kCharWidth = 8;
constexpr int kCharHeight = 16;
constexpr int kInkLeft = 1, kInkRight = 6, kInkTop = 3, kInkBottom = 12;

struct TextDraw {
    int x, y;
    std::string text;
    int bkMode;
    COLORREF bkColor;
    COLORREF textColor;
};
const std::vector<TextDraw>& TextDraws();
// Makes every later GetTextExtentPoint32A measure cx x cy whatever the text (an odd width or one
// wider than the picture); drawing keeps the fixed cells.
void SetTextExtent(LONG cx, LONG cy);

// ---- sound library ----------------------------------------------------------------------------
void SetMidasError(int code, const std::string& text);
// Calls the installed sync callback `count` times, as the playback thread does for each sync
// command played. Nothing is delivered without a callback, while suspended or after the library
// is closed. Returns the number delivered.
int DeliverSync(int count);
int DeliverSyncFromThread(int count); // the same from another thread, joined before returning
bool MusicSuspended();
bool SoundOpen();
bool SyncCallbackInstalled();

// ---- misuse the double noticed (calls on released objects, lock/DC order, closed library) ----
const std::vector<std::string>& Violations();

} // namespace fake

#endif
