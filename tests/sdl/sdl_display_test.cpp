// The SDL backend's DirectDraw and window on SDL's dummy video driver (no display needed): the
// intro's display sequence, the result codes it relies on, a lost renderer, and SDL events
// becoming window messages.
#include "gdi_font.h"
#include "message_queue.h"
#include "sdl_backend.h"
#include "sdl_presenter.h"
#include "sdl_window.h"
#include "surface_descs.h"
#include "window_table.h"

#include <SDL.h>
#include <ddraw.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

std::vector<MSG> handled;

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    MSG msg{};
    msg.hwnd = window;
    msg.message = message;
    msg.wParam = wParam;
    handled.push_back(msg);
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

DDSURFACEDESC2 PrimaryDesc() {
    DDSURFACEDESC2 desc{};
    desc.dwSize = 124;
    desc.dwFlags = DDSD_CAPS;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
    return desc;
}

class SdlDisplay : public ::testing::Test {
  protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS), 0) << SDL_GetError();
        platform::QueueReset();
        platform::ResetWindowTable();
        platform::Backend backend;
        backend.win32 = sdl::SdlWin32();
        backend.gdi.findFontFace = platform::FindFontconfigFace;
        backend.ddraw = sdl::SdlDisplay();
        platform::InstallBackend(backend);
        handled.clear();
        WNDCLASSA wndClass{};
        wndClass.lpfnWndProc = RecordingProc;
        wndClass.lpszClassName = "QuillmoorKV98DemoMainWnd";
        wndClass.hIcon = LoadIconA(reinterpret_cast<HINSTANCE>(&wndClass), MAKEINTRESOURCEA(101));
        ASSERT_NE(wndClass.hIcon, nullptr);
        ASSERT_NE(RegisterClassA(&wndClass), 0);
        window = CreateWindowExA(WS_EX_TOPMOST, "QuillmoorKV98DemoMainWnd", "Zarvo / Quillmoor",
                                 WS_POPUP, 0, 0, GetSystemMetrics(SM_CXSCREEN),
                                 GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(window, nullptr);
        ShowWindow(window, SW_SHOWDEFAULT);
        SetFocus(window);
    }

    void TearDown() override {
        if (back != nullptr) {
            back->Release();
        }
        if (primary != nullptr) {
            primary->Release();
        }
        if (directDraw != nullptr) {
            directDraw->Release();
        }
        sdl::CloseScreen();
        sdl::CloseSdlWindow();
        SDL_Quit();
    }

    // The intro's display set-up, step by step.
    void OpenDisplay() {
        IDirectDraw* first = nullptr;
        ASSERT_EQ(DirectDrawCreate(nullptr, &first, nullptr), DD_OK);
        ASSERT_EQ(first->QueryInterface(IID_IDirectDraw4, reinterpret_cast<LPVOID*>(&directDraw)),
                  DD_OK);
        first->Release();
        ASSERT_EQ(directDraw->SetCooperativeLevel(window, 0x13), DD_OK);
        ASSERT_EQ(directDraw->SetDisplayMode(320, 200, 32, 0, 0), DD_OK);
        DDSURFACEDESC2 desc = PrimaryDesc();
        ASSERT_EQ(directDraw->CreateSurface(&desc, &primary, nullptr), DD_OK);
        desc = sdltest::BackSurfaceDesc();
        ASSERT_EQ(directDraw->CreateSurface(&desc, &back, nullptr), DD_OK);
    }

    // Takes every message now waiting and dispatches it.
    std::vector<UINT> Pump() {
        std::vector<UINT> messages;
        MSG msg{};
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            messages.push_back(msg.message);
            DispatchMessageA(&msg);
        }
        return messages;
    }

    HWND window = nullptr;
    IDirectDraw4* directDraw = nullptr;
    IDirectDrawSurface4* primary = nullptr;
    IDirectDrawSurface4* back = nullptr;
    RECT whole{0, 0, 320, 200};
};

TEST_F(SdlDisplay, TheIntrosFrameRoadWorks) {
    OpenDisplay();
    DDSURFACEDESC2 lock{};
    lock.dwSize = 124;
    ASSERT_EQ(back->Lock(nullptr, &lock, DDLOCK_WAIT | DDLOCK_NOSYSLOCK, nullptr), DD_OK);
    static_cast<std::uint32_t*>(lock.lpSurface)[0] = 0x00FF8000;
    ASSERT_EQ(back->Unlock(nullptr), DD_OK);
    HDC dc = nullptr;
    ASSERT_EQ(back->GetDC(&dc), DD_OK);
    SIZE size{};
    EXPECT_TRUE(GetTextExtentPoint32A(dc, "Zarvo!", 6, &size));
    EXPECT_TRUE(TextOutA(dc, 0, 100, "Zarvo!", 6));
    ASSERT_EQ(back->ReleaseDC(dc), DD_OK);
    EXPECT_EQ(directDraw->WaitForVerticalBlank(DDWAITVB_BLOCKBEGIN, nullptr), DD_OK);
    EXPECT_EQ(primary->BltFast(0, 0, back, &whole, DDBLTFAST_WAIT), DD_OK);
}

TEST_F(SdlDisplay, ALostRendererReportsSurfaceLostUntilRestored) {
    OpenDisplay();
    SDL_Event reset{};
    reset.type = SDL_RENDER_TARGETS_RESET;
    SDL_PushEvent(&reset);
    Pump(); // the event is taken from SDL's queue
    EXPECT_EQ(primary->BltFast(0, 0, back, &whole, DDBLTFAST_WAIT), DDERR_SURFACELOST);
    EXPECT_EQ(primary->BltFast(0, 0, back, &whole, DDBLTFAST_WAIT), DDERR_SURFACELOST);
    EXPECT_EQ(directDraw->RestoreAllSurfaces(), DD_OK);
    EXPECT_EQ(primary->BltFast(0, 0, back, &whole, DDBLTFAST_WAIT), DD_OK);
    // A lost device makes a new renderer.
    reset.type = SDL_RENDER_DEVICE_RESET;
    SDL_PushEvent(&reset);
    Pump();
    EXPECT_EQ(primary->BltFast(0, 0, back, &whole, DDBLTFAST_WAIT), DDERR_SURFACELOST);
    EXPECT_EQ(directDraw->RestoreAllSurfaces(), DD_OK);
    EXPECT_EQ(primary->BltFast(0, 0, back, &whole, DDBLTFAST_WAIT), DD_OK);
}

TEST_F(SdlDisplay, RefusesWhatTheDisplayCannotDoWithFittingCodes) {
    IDirectDraw* first = nullptr;
    ASSERT_EQ(DirectDrawCreate(nullptr, &first, nullptr), DD_OK);
    IDirectDraw* second = nullptr;
    EXPECT_EQ(DirectDrawCreate(nullptr, &second, nullptr), DDERR_DIRECTDRAWALREADYCREATED);
    GUID other{};
    void* none = reinterpret_cast<void*>(&other);
    EXPECT_EQ(first->QueryInterface(other, &none), E_NOINTERFACE);
    EXPECT_EQ(none, nullptr);
    ASSERT_EQ(first->QueryInterface(IID_IDirectDraw4, reinterpret_cast<LPVOID*>(&directDraw)),
              DD_OK);
    first->Release();
    EXPECT_EQ(directDraw->SetDisplayMode(320, 200, 32, 0, 0), DDERR_NOEXCLUSIVEMODE);
    EXPECT_EQ(directDraw->SetCooperativeLevel(nullptr, 0x13), DDERR_INVALIDPARAMS);
    ASSERT_EQ(directDraw->SetCooperativeLevel(window, 0x13), DD_OK);
    EXPECT_EQ(directDraw->SetDisplayMode(640, 480, 16, 0, 0), DDERR_INVALIDMODE);
    DDSURFACEDESC2 desc = PrimaryDesc();
    EXPECT_EQ(directDraw->CreateSurface(&desc, &primary, nullptr), DDERR_NOEXCLUSIVEMODE);
    EXPECT_EQ(primary, nullptr);
    ASSERT_EQ(directDraw->SetDisplayMode(320, 200, 32, 0, 0), DD_OK);
    ASSERT_EQ(directDraw->CreateSurface(&desc, &primary, nullptr), DD_OK);
    IDirectDrawSurface4* again = nullptr;
    EXPECT_EQ(directDraw->CreateSurface(&desc, &again, nullptr), DDERR_PRIMARYSURFACEALREADYEXISTS);
    EXPECT_EQ(directDraw->WaitForVerticalBlank(0, nullptr), DDERR_INVALIDPARAMS);
    HDC dc = nullptr;
    EXPECT_EQ(primary->GetDC(&dc), DDERR_CANTCREATEDC);
}

TEST_F(SdlDisplay, SurfacesOutliveTheDirectDrawObjectAndReleaseCleanly) {
    OpenDisplay();
    // The intro's release order: normal level, mode, the object, then each surface.
    EXPECT_EQ(directDraw->SetCooperativeLevel(window, DDSCL_NORMAL), DD_OK);
    EXPECT_EQ(directDraw->RestoreDisplayMode(), DD_OK);
    EXPECT_EQ(directDraw->Release(), 0u);
    directDraw = nullptr;
    EXPECT_EQ(primary->Release(), 0u);
    primary = nullptr;
    EXPECT_EQ(back->Release(), 0u);
    back = nullptr;
    EXPECT_FALSE(sdl::ScreenIsOpen());
}

TEST_F(SdlDisplay, SdlEventsBecomeTheIntrosMessages) {
    // Showing and focusing the window activated the application, as on Windows.
    std::vector<UINT> messages = Pump();
    EXPECT_NE(std::find(messages.begin(), messages.end(), WM_ACTIVATEAPP), messages.end());
    EXPECT_NE(std::find(messages.begin(), messages.end(), WM_SETCURSOR), messages.end());
    const Uint32 id = SDL_GetWindowID(sdl::TheSdlWindow());

    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.windowID = id;
    event.window.event = SDL_WINDOWEVENT_FOCUS_LOST;
    SDL_PushEvent(&event);
    SDL_PushEvent(&event); // a repeated loss is not a new change
    handled.clear();
    EXPECT_EQ(Pump(), std::vector<UINT>{WM_ACTIVATEAPP});
    EXPECT_EQ(handled.at(0).wParam, 0u);
    event.window.event = SDL_WINDOWEVENT_FOCUS_GAINED;
    SDL_PushEvent(&event);
    handled.clear();
    EXPECT_EQ(Pump(), std::vector<UINT>{WM_ACTIVATEAPP});
    EXPECT_EQ(handled.at(0).wParam, 1u);

    // Alt+Enter is the platform's own; the intro never sees it.
    SDL_Event key{};
    key.type = SDL_KEYDOWN;
    key.key.windowID = id;
    key.key.keysym.sym = SDLK_RETURN;
    key.key.keysym.mod = KMOD_LALT;
    SDL_PushEvent(&key);
    EXPECT_TRUE(Pump().empty());

    // Escape reaches the window procedure as WM_KEYDOWN VK_ESCAPE.
    key.key.keysym.sym = SDLK_ESCAPE;
    key.key.keysym.mod = KMOD_NONE;
    SDL_PushEvent(&key);
    handled.clear();
    EXPECT_EQ(Pump(), std::vector<UINT>{WM_KEYDOWN});
    EXPECT_EQ(handled.at(0).wParam, static_cast<WPARAM>(VK_ESCAPE));

    // The close button: WM_CLOSE, the default handling destroys the window, then WM_QUIT.
    event.window.event = SDL_WINDOWEVENT_CLOSE;
    SDL_PushEvent(&event);
    handled.clear();
    EXPECT_EQ(Pump(), (std::vector<UINT>{WM_CLOSE, WM_QUIT}));
    ASSERT_EQ(handled.size(), 2u);
    EXPECT_EQ(handled[1].message, WM_DESTROY);
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(SdlDisplay, TheCursorAndStockObjectsAnswerAsTheIntroExpects) {
    EXPECT_NE(LoadCursorA(nullptr, IDC_ARROW), nullptr);
    EXPECT_NE(GetStockObject(BLACK_BRUSH), nullptr);
    EXPECT_EQ(LoadIconA(nullptr, MAKEINTRESOURCEA(7)), nullptr);
    SetCursor(nullptr);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE) << "no cursor over the window";
    EXPECT_GT(GetSystemMetrics(SM_CXSCREEN), 0);
}

} // namespace
