// What a backend supplies to the platform stand-in: one record of tables, and one start function.
//
// platform/common answers the intro's Win32, GDI, DirectDraw and MIDAS calls by itself (window
// table, message queue, surfaces, text, the DirectDraw model, the module player); what only a
// real system can do (a window on a desktop, a picture on a screen, sound from a device, a box
// someone clicks) it asks of the program's backend through the tables of one platform::Backend.
// A backend defines a single function:
//   StartBackend      runs first, with the command line: sets the backend up and fills `backend`.
//                     Returns -1 to go on to the intro, or an exit code to end the program at
//                     once (no display, --help, a wrong option)
// The program's entry (entry_main.cpp) calls it, installs the record and calls WinMain:
//   InstallBackend    makes `backend` the record in force (tests install their own); not while
//                     the sound library is open
//   InstalledBackend  the record in force, which the stand-in reads at each call
// An entry left null does nothing and succeeds unless its line says otherwise: an empty record
// is a computer with no display, no input, no sound device and no font. Installed and read on
// the main thread; a sound output's own thread reads `midas` while it renders, so the record is
// installed before any sound starts.
//
// The Windows program meets the real Win32, GDI and DirectDraw: its backend fills only `midas`.
#ifndef ZARVO_PLATFORM_COMMON_BACKEND_H
#define ZARVO_PLATFORM_COMMON_BACKEND_H

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

// ---- USER32: windows, events, cursor, screen metrics, message boxes -------------------------

// The intro's window as the window table keeps it (window_table.h).
struct WindowRecord {
    std::string className;
    std::string title;
    WNDPROC proc = nullptr;
    HICON icon = nullptr;
    DWORD style = 0;
    DWORD exStyle = 0;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool alive = false;
    bool visible = false;
};

// The backend follows the window table with what it has behind a window (a desktop window, a
// page's picture, nothing but its own state).
struct WindowHooks {
    bool (*create)(HWND window, const WindowRecord& record) = nullptr; // false refuses creation
    void (*show)(HWND window, bool visible) = nullptr;                 // on a change only
    void (*focus)(HWND window) = nullptr;
    void (*destroy)(HWND window) = nullptr;
};

// The backend's events become messages (message_queue.h). Every look at the queue polls first.
// Without a wait, a wait for a message that cannot come answers WM_QUIT.
struct EventPump {
    void (*poll)() = nullptr; // turn pending backend events into messages, never block
    void (*wait)() = nullptr; // block until a backend event may be pending
};

struct Win32Services {
    WindowHooks windows;
    EventPump events;
    // SetCursor: whether a cursor is now shown (SetCursor(NULL) hides it).
    void (*showCursor)(bool shown) = nullptr;
    // GetSystemMetrics for SM_CXSCREEN and SM_CYSCREEN (other indexes answer 0 without asking):
    // the screen's width or height in pixels; 0 when unknown. Null: 0.
    int (*screenMetric)(int index) = nullptr;
    // MessageBoxA, with the text and caption never null (a null caption is "Error"): shows the
    // box and returns once it is closed. The style only picks an icon on Windows, and every box
    // of the intro has the one OK button, which is the answer. Null: "caption: text" and a line
    // break on standard error.
    void (*messageBox)(HWND owner, const char* text, const char* caption) = nullptr;
};

// ---- GDI32: the font --------------------------------------------------------------------------

// The system-style font's face: a file FreeType renders, the face's index in it, its family.
struct FontFace {
    std::string file;
    int index = 0;
    std::string family;
};

struct GdiServices {
    // Names the face every device context draws with (gdi_font.h); false with a reason when
    // there is none. Asked once, on the first text. Null: no font, and no text is drawn.
    bool (*findFontFace)(FontFace& face, std::string& error) = nullptr;
};

// ---- DirectDraw: the screen behind the model ------------------------------------------------

// The one display mode offered.
constexpr int kDisplayWidth = 320;
constexpr int kDisplayHeight = 200;
constexpr int kDisplayBitsPerPixel = 32;

// platform/common holds the one model of DirectDraw's objects and rules (ddraw_objects.cpp,
// ddraw_surfaces.cpp): reference counts, the cooperative level, the one mode, the primary
// surface and system-memory back surfaces, locks, device contexts and every result code. The
// backend supplies only what the screen does; with no effect at all, the model is a display
// that nobody sees.
struct DisplayEffects {
    // DirectDrawCreate: whether there is a display at all (else DDERR_NODIRECTDRAWHW).
    bool (*available)() = nullptr;
    // SetCooperativeLevel exclusive, once the rules passed and the window is alive: the window
    // takes the screen; DD_OK or the call's result code.
    HRESULT (*takeScreen)(HWND window) = nullptr;
    // SetDisplayMode with the one mode: the screen shows pictures of that size.
    HRESULT (*openScreen)(int width, int height) = nullptr;
    // The primary surface's last Release: the screen goes.
    void (*closeScreen)() = nullptr;
    // WaitForVerticalBlank: returns at the start of the next refresh.
    HRESULT (*waitForRefresh)() = nullptr;
    // BltFast: true while the screen has lost its pictures (DDERR_SURFACELOST).
    bool (*screenLost)() = nullptr;
    // Restore on the primary surface, and RestoreAllSurfaces.
    HRESULT (*restoreScreen)() = nullptr;
    // BltFast to the primary surface: the whole screen's pixels (0x00RRGGBB, row by row, pitch
    // in bytes) after the copy; its result is BltFast's. Null: DD_OK.
    HRESULT(*showPicture)
    (const std::uint32_t* pixels, int width, int height, int pitchBytes) = nullptr;
};

// ---- MIDAS: the sound output of the shared sound library (midas_playback.cpp) ----------------

constexpr int kPlaybackRate = 48000;

// MIDASconfig's answer: play through an output, play silently, or cancel.
enum class SoundChoice { Play, NoSound, Cancel };

using RenderFunction = void (*)(std::int16_t* interleavedStereo, std::size_t frames);

// The intro's sync callback is called once for every W command the player reports, as the
// library's was on its playback thread: by the library's clock thread when the row is heard (an
// output with a thread of its own), or inside `render`. The library makes one call into the
// output at a time.
struct SoundOutput {
    // MIDASconfig's question (a dialog, a first screen, a setting made before). With Play,
    // `device` names the output picked, in the words `open` understands; left empty, the
    // system's default output. Null: no question, the default output (there is one output only).
    SoundChoice (*choose)(std::string& device) = nullptr;
    // Opens the output at `sampleRate`, 16-bit stereo, which from then on calls `render` for its
    // sound: `device` as `choose` named it (empty: the default). Without a device (not wanted, or
    // none to be had: `note` says why) a timer renders at the same pace and the sound is thrown
    // away. False: nothing can play at all (`note` says why). Null: MIDASinit fails, as no
    // output was installed.
    bool (*open)(bool wantDevice, const std::string& device, RenderFunction render,
                 std::string& note) = nullptr;
    // Once it returns, `render` is not running and will not run until resumed.
    void (*pause)(bool paused) = nullptr;
    // Stops everything; safe when nothing is open.
    void (*close)() = nullptr;
    // Tells the user a line of text, ending in a line break: that the music plays silently, and
    // why. Null: on standard error.
    void (*report)(const std::string& line) = nullptr;
    // The frames the output holds ahead of the buffer `render` is filling, which are heard
    // before that buffer's first frame; asked inside `render`. The sync calls of an output with a
    // thread of its own wait until their row is heard. Null: 0, each call made as its row is
    // rendered.
    std::size_t (*latency)() = nullptr;
    // The output has taken no sound for two seconds (kStallSeconds, sound_clock.h) while the
    // music played (a device stuck in a write, a hung sound server): let go of the device at
    // once, without waiting for it (it may never return), and render on the timer from now on,
    // so that the show's clock runs on; returns the reason, for the one line that says the music
    // plays silently. Null: never given up.
    std::string (*abandon)() = nullptr;
    // The rate `render` fills its buffers at.
    int sampleRate = kPlaybackRate;
    // True: `render` runs on a thread of the output's own, so pausing and stopping wait there (a
    // few ms) until the ramp down into silence has been rendered and heard, and the library's clock
    // thread makes the sync calls and watches the output. False: `render` runs on the
    // main thread only, between the intro's calls (while it waits, or at each presented frame),
    // so nothing renders while a MIDAS function runs and nothing is waited for: the ramp is in
    // whatever is rendered next. Such an output may leave `pause` null and go on rendering: a
    // suspended module gives silence and reports no W command.
    bool ownThread = true;
};

// ---- The record ---------------------------------------------------------------------------

struct Backend {
    Win32Services win32;
    GdiServices gdi;
    DisplayEffects ddraw;
    SoundOutput midas;
    // Runs after WinMain with its result and returns the process's exit code. Null: WinMain's
    // result. Never called where the system calls WinMain itself (Windows).
    int (*finish)(int winMainResult) = nullptr;
};

void InstallBackend(const Backend& backend);
const Backend& InstalledBackend();

} // namespace platform

int StartBackend(int argc, char** argv, platform::Backend& backend);

#endif
