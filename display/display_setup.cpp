// InitDisplay and ReleaseDisplay.
#include "display/display_setup.h"

#include <cstdlib>

#include <windows.h>
#include <ddraw.h>

#include "app/app_state.h"
#include "app/error_box.h"
#include "display/dd_errors.h"
#include "display/frame_format.h"

namespace {

constexpr DWORD kWidth = kPictureWidth;
constexpr DWORD kHeight = kPictureHeight;
constexpr DWORD kBitsPerPixel = 32;
constexpr DWORD kPixelFormatSize = 32;

// Reports a failed DirectDraw call with its code and the code's description.
int ReportFailure(const char* message, HRESULT result) {
    ErrorBox(message, static_cast<unsigned>(result), DDErrorString(result));
    return 0;
}

void DescribePrimarySurface(DDSURFACEDESC2& desc) {
    desc = DDSURFACEDESC2{};
    desc.dwSize = kSurfaceDescSize;
    desc.dwFlags = DDSD_CAPS;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
}

void DescribeBackSurface(DDSURFACEDESC2& desc) {
    desc = DDSURFACEDESC2{};
    desc.dwSize = kSurfaceDescSize;
    desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_PIXELFORMAT;
    desc.dwWidth = kWidth;
    desc.dwHeight = kHeight;
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
    desc.ddpfPixelFormat.dwSize = kPixelFormatSize;
    desc.ddpfPixelFormat.dwFlags = DDPF_RGB;
    desc.ddpfPixelFormat.dwRGBBitCount = 32;
    desc.ddpfPixelFormat.dwRBitMask = 0x00FF0000;
    desc.ddpfPixelFormat.dwGBitMask = 0x0000FF00;
    desc.ddpfPixelFormat.dwBBitMask = 0x000000FF;
    desc.ddpfPixelFormat.dwRGBAlphaBitMask = 0;
}

} // namespace

int InitDisplay() {
    IDirectDraw* directDrawV1 = nullptr;
    HRESULT result = DirectDrawCreate(nullptr, &directDrawV1, nullptr);
    if (result != DD_OK) {
        return ReportFailure("Sceners: DirectDrawCreate() failed with RC %u (%s).\r\n"
                             "Lamers: DirectDraw doesen't work.",
                             result);
    }

    // The first interface serves for this query only; the version-4 interface keeps the object.
    void* queried = nullptr;
    result = directDrawV1->QueryInterface(IID_IDirectDraw4, &queried);
    directDrawV1->Release();
    if (result != DD_OK) {
        return ReportFailure("Sceners: IDirectDraw::QueryInterface() failed with RC %u (%s).\r\n"
                             "Lamers: Please make sure you have DirectX 6.0 or later installed.",
                             result);
    }
    appState.directDraw = static_cast<IDirectDraw4*>(queried);

    result = appState.directDraw->SetCooperativeLevel(
        appState.window, DDSCL_FULLSCREEN | DDSCL_ALLOWREBOOT | DDSCL_EXCLUSIVE);
    if (result != DD_OK) {
        return ReportFailure(
            "Sceners: IDirectDraw4::SetCooperativeLevel() failed with RC %u (%s).\r\n"
            "Lamers: Please close all other programs before running the demo.",
            result);
    }

    result = appState.directDraw->SetDisplayMode(kWidth, kHeight, kBitsPerPixel, 0, 0);
    if (result != DD_OK) {
        return ReportFailure("Sceners: IDirectDraw4::SetDisplayMode() failed with RC %u (%s).\r\n"
                             "Lamers: Please buy a *real* video card.",
                             result);
    }

    static const char kCreateSurfaceFailed[] =
        "Sceners: IDirectDraw4::CreateSurface() failed with RC %u (%s).\r\n"
        "Lamers: Just forget it...";
    DDSURFACEDESC2 desc;
    DescribePrimarySurface(desc);
    result = appState.directDraw->CreateSurface(&desc, &appState.primarySurface, nullptr);
    if (result != DD_OK) {
        return ReportFailure(kCreateSurfaceFailed, result);
    }
    DescribeBackSurface(desc);
    result = appState.directDraw->CreateSurface(&desc, &appState.backSurface, nullptr);
    if (result != DD_OK) {
        return ReportFailure(kCreateSurfaceFailed, result);
    }

    appState.displayReady = 1;
    return 1;
}

void ReleaseDisplay() {
    appState.displayReady = 0;
    if (appState.directDraw == nullptr) {
        // Surfaces exist only after the DirectDraw object does.
        return;
    }

    // A display that cannot be given back leaves no sane way on: end at once, showing nothing.
    if (appState.directDraw->SetCooperativeLevel(appState.window, DDSCL_NORMAL) != DD_OK) {
        std::exit(0);
    }
    if (appState.directDraw->RestoreDisplayMode() != DD_OK) {
        std::exit(0);
    }

    appState.directDraw->Release();
    appState.directDraw = nullptr;
    if (appState.primarySurface != nullptr) {
        appState.primarySurface->Release();
        appState.primarySurface = nullptr;
    }
    if (appState.backSurface != nullptr) {
        appState.backSurface->Release();
        appState.backSurface = nullptr;
    }
}
