// The common DirectDraw model that the backends share: the intro's whole display road with each
// effect seen by the backend, and the answers DirectDraw gives where backends once answered
// differently.
#include "surface_descs.h"
#include "test_backend.h"
#include "window_table.h"

#include <ddraw.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

// What the backend's effects were asked to do.
struct Seen {
    std::vector<HWND> screenTakers;
    int opened = 0;
    int closed = 0;
    int waits = 0;
    int restores = 0;
    bool lost = false;
    std::vector<std::uint32_t> shown;
};
Seen seen;

LRESULT CALLBACK QuietProc(HWND, UINT, WPARAM, LPARAM) {
    return 0;
}

platform::DisplayEffects RecordingEffects() {
    platform::DisplayEffects effects;
    effects.takeScreen = [](HWND window) {
        seen.screenTakers.push_back(window);
        return DD_OK;
    };
    effects.openScreen = [](int width, int height) {
        ++seen.opened;
        return width == 320 && height == 200 ? DD_OK : DDERR_INVALIDMODE;
    };
    effects.closeScreen = [] { ++seen.closed; };
    effects.waitForRefresh = [] {
        ++seen.waits;
        return DD_OK;
    };
    effects.screenLost = [] { return seen.lost; };
    effects.restoreScreen = [] {
        ++seen.restores;
        seen.lost = false;
        return DD_OK;
    };
    effects.showPicture = [](const std::uint32_t* pixels, int width, int height, int pitchBytes) {
        seen.shown.clear();
        for (int y = 0; y < height; ++y) {
            const auto* row = pixels + static_cast<std::size_t>(y) * (pitchBytes / 4);
            seen.shown.insert(seen.shown.end(), row, row + width);
        }
        return DD_OK;
    };
    return effects;
}

DDSURFACEDESC2 PrimaryDesc() {
    DDSURFACEDESC2 desc{};
    desc.dwSize = 124;
    desc.dwFlags = DDSD_CAPS;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
    return desc;
}

class DDrawModel : public ::testing::Test {
  protected:
    void SetUp() override {
        seen = Seen{};
        platform::ResetWindowTable();
        platform::Backend backend = commontest::TestBackend();
        backend.ddraw = RecordingEffects();
        platform::InstallBackend(backend);
        WNDCLASSA wndClass{};
        wndClass.lpfnWndProc = QuietProc;
        wndClass.lpszClassName = "ModelTestWindow";
        ASSERT_NE(platform::RegisterWindowClass(&wndClass), 0);
        window = platform::CreateWindowRecord(0, "ModelTestWindow", "", WS_POPUP, 0, 0, 320, 200);
        ASSERT_NE(window, nullptr);
        IDirectDraw* first = nullptr;
        ASSERT_EQ(DirectDrawCreate(nullptr, &first, nullptr), DD_OK);
        void* queried = nullptr;
        ASSERT_EQ(first->QueryInterface(IID_IDirectDraw4, &queried), DD_OK);
        directDraw = static_cast<IDirectDraw4*>(queried);
        EXPECT_EQ(first->Release(), 0u) << "the first interface's own count";
    }

    void TearDown() override {
        for (IDirectDrawSurface4* surface : {back, primary}) {
            if (surface != nullptr) {
                surface->Release();
            }
        }
        if (directDraw != nullptr) {
            directDraw->Release();
        }
        platform::InstallBackend(commontest::TestBackend());
        platform::ResetWindowTable();
    }

    void OpenDisplay() {
        ASSERT_EQ(directDraw->SetCooperativeLevel(window, 0x13), DD_OK);
        ASSERT_EQ(directDraw->SetDisplayMode(320, 200, 32, 0, 0), DD_OK);
        DDSURFACEDESC2 desc = PrimaryDesc();
        ASSERT_EQ(directDraw->CreateSurface(&desc, &primary, nullptr), DD_OK);
        desc = sdltest::BackSurfaceDesc();
        ASSERT_EQ(directDraw->CreateSurface(&desc, &back, nullptr), DD_OK);
    }

    // Fills the back surface with `pixel` through a lock, as the renderer does.
    void Paint(std::uint32_t pixel) {
        DDSURFACEDESC2 lock{};
        lock.dwSize = 124;
        ASSERT_EQ(back->Lock(nullptr, &lock, DDLOCK_WAIT | DDLOCK_NOSYSLOCK, nullptr), DD_OK);
        auto* bits = static_cast<std::uint8_t*>(lock.lpSurface);
        for (int y = 0; y < 200; ++y) {
            auto* row = reinterpret_cast<std::uint32_t*>(bits + y * lock.lPitch);
            std::fill(row, row + 320, pixel);
        }
        ASSERT_EQ(back->Unlock(nullptr), DD_OK);
    }

    HWND window = nullptr;
    IDirectDraw4* directDraw = nullptr;
    IDirectDrawSurface4* primary = nullptr;
    IDirectDrawSurface4* back = nullptr;
};

TEST_F(DDrawModel, TheIntrosDisplayRoadReachesTheBackendsEffectsInOrder) {
    OpenDisplay();
    EXPECT_EQ(seen.screenTakers, std::vector<HWND>{window});
    EXPECT_EQ(seen.opened, 1);

    Paint(0x00123456);
    EXPECT_EQ(directDraw->WaitForVerticalBlank(DDWAITVB_BLOCKBEGIN, nullptr), DD_OK);
    EXPECT_EQ(seen.waits, 1);
    RECT whole{0, 0, 320, 200};
    EXPECT_EQ(primary->BltFast(0, 0, back, &whole, DDBLTFAST_WAIT), DD_OK);
    ASSERT_EQ(seen.shown.size(), 320u * 200u);
    EXPECT_EQ(seen.shown.front(), 0x00123456u);
    EXPECT_EQ(seen.shown.back(), 0x00123456u);

    // A part of the picture lands where it is put; the rest of the screen keeps what it showed.
    Paint(0x00ABCDEF);
    RECT part{10, 20, 30, 25};
    EXPECT_EQ(primary->BltFast(100, 50, back, &part, DDBLTFAST_WAIT), DD_OK);
    EXPECT_EQ(seen.shown[50 * 320 + 100], 0x00ABCDEFu);
    EXPECT_EQ(seen.shown[54 * 320 + 119], 0x00ABCDEFu);
    EXPECT_EQ(seen.shown[55 * 320 + 100], 0x00123456u);
    RECT beyond{0, 0, 320, 200};
    EXPECT_EQ(primary->BltFast(1, 0, back, &beyond, DDBLTFAST_WAIT), DDERR_INVALIDRECT);

    // A lost screen refuses copies until it is restored.
    seen.lost = true;
    EXPECT_EQ(primary->BltFast(0, 0, back, &whole, DDBLTFAST_WAIT), DDERR_SURFACELOST);
    EXPECT_EQ(directDraw->RestoreAllSurfaces(), DD_OK);
    EXPECT_EQ(seen.restores, 1);
    EXPECT_EQ(primary->BltFast(0, 0, back, &whole, DDBLTFAST_WAIT), DD_OK);

    // The intro's release: level, mode, the object, then the surfaces, which outlive it.
    EXPECT_EQ(directDraw->SetCooperativeLevel(window, DDSCL_NORMAL), DD_OK);
    EXPECT_EQ(directDraw->RestoreDisplayMode(), DD_OK);
    EXPECT_EQ(directDraw->Release(), 0u);
    directDraw = nullptr;
    EXPECT_EQ(seen.closed, 0);
    EXPECT_EQ(primary->Release(), 0u);
    primary = nullptr;
    EXPECT_EQ(seen.closed, 1) << "the screen goes with the primary surface";
    EXPECT_EQ(back->Release(), 0u);
    back = nullptr;
    IDirectDraw* again = nullptr;
    EXPECT_EQ(DirectDrawCreate(nullptr, &again, nullptr), DD_OK) << "nothing of the first is left";
    again->Release();
}

TEST_F(DDrawModel, AnswersAsDirectDrawWhereTheBackendsOnceDiffered) {
    // One DirectDraw object at a time, as with the primary display driver.
    IDirectDraw* another = nullptr;
    EXPECT_EQ(DirectDrawCreate(nullptr, &another, nullptr), DDERR_DIRECTDRAWALREADYCREATED);

    // Cooperative level: a null window is an invalid parameter; normal cannot be full screen.
    EXPECT_EQ(directDraw->SetCooperativeLevel(nullptr, 0x13), DDERR_INVALIDPARAMS);
    EXPECT_EQ(directDraw->SetCooperativeLevel(window, DDSCL_NORMAL | DDSCL_FULLSCREEN),
              DDERR_INVALIDPARAMS);
    EXPECT_EQ(directDraw->SetCooperativeLevel(window, DDSCL_EXCLUSIVE), DDERR_INVALIDPARAMS);
    EXPECT_TRUE(seen.screenTakers.empty());

    // No surface before any level; no primary before the mode.
    DDSURFACEDESC2 desc = sdltest::BackSurfaceDesc();
    EXPECT_EQ(directDraw->CreateSurface(&desc, &back, nullptr), DDERR_NOCOOPERATIVELEVELSET);
    ASSERT_EQ(directDraw->SetCooperativeLevel(window, 0x13), DD_OK);
    desc = PrimaryDesc();
    EXPECT_EQ(directDraw->CreateSurface(&desc, &primary, nullptr), DDERR_NOEXCLUSIVEMODE);

    // Display mode: a refresh rate other than the default names a mode the display lacks.
    EXPECT_EQ(directDraw->SetDisplayMode(320, 200, 32, 60, 0), DDERR_INVALIDMODE);
    EXPECT_EQ(directDraw->SetDisplayMode(320, 200, 32, 0, 1), DDERR_INVALIDPARAMS);
    EXPECT_EQ(seen.opened, 0);
    ASSERT_EQ(directDraw->SetDisplayMode(320, 200, 32, 0, 0), DD_OK);
    ASSERT_EQ(directDraw->CreateSurface(&desc, &primary, nullptr), DD_OK);
    IDirectDrawSurface4* second = nullptr;
    EXPECT_EQ(directDraw->CreateSurface(&desc, &second, nullptr),
              DDERR_PRIMARYSURFACEALREADYEXISTS);

    // The screen is written only by the copy.
    DDSURFACEDESC2 lock{};
    lock.dwSize = 124;
    EXPECT_EQ(primary->Lock(nullptr, &lock, DDLOCK_WAIT, nullptr), DDERR_CANTLOCKSURFACE);
    HDC dc = nullptr;
    EXPECT_EQ(primary->GetDC(&dc), DDERR_CANTCREATEDC);

    // Giving exclusive use back works after the window is gone; the mode then is no longer the
    // one the surfaces were made for.
    platform::DestroyWindowRecord(window);
    EXPECT_EQ(directDraw->SetCooperativeLevel(window, 0x13), DDERR_INVALIDPARAMS);
    EXPECT_EQ(directDraw->SetCooperativeLevel(window, DDSCL_NORMAL), DD_OK);
    EXPECT_EQ(directDraw->RestoreDisplayMode(), DD_OK);
    EXPECT_EQ(directDraw->RestoreAllSurfaces(), DDERR_WRONGMODE);
    EXPECT_EQ(directDraw->WaitForVerticalBlank(DDWAITVB_BLOCKBEGIN, nullptr), DD_OK);
}

} // namespace
