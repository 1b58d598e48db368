// The test double's internal state, shared by its API-family files.
#ifndef ZARVO_PLATFORM_FAKE_FAKE_STATE_H
#define ZARVO_PLATFORM_FAKE_FAKE_STATE_H

#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/fake/fake_platform.h"

namespace fake {

// The backend's records behind the interfaces. References are counted; a record is freed only
// by Reset, so a late call on a released one is noticed as a violation.
struct FakeDirectDraw1 : IDirectDraw {
    int references = 1;
};

struct FakeDirectDraw4 : IDirectDraw4 {
    int references = 1;
};

struct FakeSurface : IDirectDrawSurface4 {
    std::string role; // "primary" or "back"
    int references = 1;
    LONG pitch = 0; // bytes per row
    std::vector<uint32_t> pixels;
    bool locked = false;
    bool dcHeld = false;
};

struct FakeDC {
    FakeSurface* surface;
    bool valid;
    int bkMode;
    COLORREF bkColor;
    COLORREF textColor;
};

struct FakeWindow {
    WindowRecord record;
    WNDPROC proc;
};

struct State {
    std::vector<Call> calls;
    std::map<std::string, std::map<int, long long>> scripts;
    std::map<std::string, long long> always;
    std::map<std::string, std::function<void(int)>> hooks;
    std::map<std::string, int> counts;
    long long budget = 2000000;

    // window manager
    bool activateOnShow = true;
    std::vector<ClassRecord> classes;
    std::vector<std::unique_ptr<FakeWindow>> windows;
    std::vector<WindowRecord> windowRecords; // refreshed by Windows()
    std::deque<MSG> queue;
    std::vector<Box> boxes;
    int lastIconId = -1;
    int lastCursorId = -1;
    int lastStockObject = -1;

    // display
    LONG backPitch = kDefaultBackPitch;
    std::vector<DDSURFACEDESC2> surfaceRequests;
    std::vector<std::unique_ptr<FakeDirectDraw1>> directDraws1;
    std::vector<std::unique_ptr<FakeDirectDraw4>> directDraws4;
    std::vector<std::unique_ptr<FakeSurface>> surfaces;
    FakeSurface* primary = nullptr;
    FakeSurface* back = nullptr;
    std::vector<std::unique_ptr<FakeDC>> dcs;
    int presented = 0;
    bool exclusive = false;
    bool modeChanged = false;

    // text
    std::vector<TextDraw> textDraws;
    bool extentOverride = false;
    SIZE extent{0, 0};

    // sound library
    bool soundStarted = false;
    bool soundClosed = false;
    bool backgroundPlay = false;
    bool suspended = false;
    MIDASsyncCallback syncCallback = nullptr;
    int lastErrorCode = 0;
    std::string lastErrorText = "fake: no error";
    std::vector<char> errorTextBuffer;

    std::vector<std::string> violations;
};

State& S();

// Logs a call, runs its hook, and returns the scripted result for this call or `fallback`.
long long Enter(const std::string& object, const std::string& name, const std::string& args,
                long long fallback);
void Violation(const std::string& what);

// Formatting helpers for the log.
std::string Hex(unsigned long value, int digits = 8);
std::string Quote(const char* text, int length);
std::string HandleName(const void* handle);
std::string WindowName(HWND window);

// Used by gdi and win32 parts.
FakeWindow* FindWindow(HWND window);
FakeDC* FindDC(HDC dc);
uint32_t* SurfacePixels(FakeSurface* surface, LONG* pitch);
bool SurfaceLocked(FakeSurface* surface);

} // namespace fake

#endif
