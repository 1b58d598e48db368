// LockFrame, UnlockFrame, BeginText, EndText and PresentFrame.
#include "display/frame_access.h"

#include <windows.h>
#include <ddraw.h>

#include "app/app_state.h"
#include "app/error_box.h"
#include "display/dd_errors.h"
#include "display/frame_format.h"

namespace {

int ReportFailure(const char* message, HRESULT result) {
    ErrorBox(message, static_cast<unsigned>(result), DDErrorString(result));
    return 0;
}

const char kRestoreFailed[] = "Sceners: IDirectDrawSurface4::Restore() failed with RC %u (%s).\r\n"
                              "Lamers: Just forget it...";

} // namespace

int LockFrame() {
    DDSURFACEDESC2 desc{};
    desc.dwSize = kSurfaceDescSize;
    for (;;) {
        HRESULT result =
            appState.backSurface->Lock(nullptr, &desc, DDLOCK_WAIT | DDLOCK_NOSYSLOCK, nullptr);
        if (result == DD_OK) {
            break;
        }
        if (result != DDERR_SURFACELOST) {
            return ReportFailure("Sceners: IDirectDrawSurface4::Lock() failed with RC %u (%s).\r\n"
                                 "Lamers: Just forget it...",
                                 result);
        }
        result = appState.backSurface->Restore();
        if (result != DD_OK) {
            return ReportFailure(kRestoreFailed, result);
        }
    }
    appState.frameBits = static_cast<DWORD*>(desc.lpSurface);
    appState.framePitch = desc.lPitch;
    return 1;
}

int UnlockFrame() {
    HRESULT result = appState.backSurface->Unlock(nullptr);
    if (result == DDERR_SURFACELOST) {
        result = appState.backSurface->Restore();
        if (result != DD_OK) {
            return ReportFailure(kRestoreFailed, result);
        }
    } else if (result != DD_OK) {
        return ReportFailure("Sceners: IDirectDrawSurface4::Unlock() failed with RC %u (%s).\r\n"
                             "Lamers: Just forget it...",
                             result);
    }
    appState.frameBits = nullptr;
    appState.framePitch = 0;
    return 1;
}

int BeginText() {
    HRESULT result = appState.backSurface->GetDC(&appState.surfaceDC);
    if (result != DD_OK) {
        return ReportFailure("Sceners: IDirectDrawSurface4::GetDC() failed with RC %u (%s).\r\n"
                             "Lamers: Just forget it...",
                             result);
    }
    return 1;
}

int EndText() {
    HRESULT result = appState.backSurface->ReleaseDC(appState.surfaceDC);
    if (result != DD_OK) {
        return ReportFailure("Sceners: IDirectDrawSurface4::ReleaseDC() failed with RC %u (%s).\r\n"
                             "Lamers: Just forget it...",
                             result);
    }
    return 1;
}

int PresentFrame() {
    RECT source;
    SetRect(&source, 0, 0, kPictureWidth, kPictureHeight);

    HRESULT result = appState.directDraw->WaitForVerticalBlank(DDWAITVB_BLOCKBEGIN, nullptr);
    if (result == DDERR_UNSUPPORTED || result == DDERR_WASSTILLDRAWING) {
        // No vertical blank to wait for: drop this frame rather than show it unpaced.
        return 1;
    }
    if (result != DD_OK) {
        return ReportFailure(
            "Sceners: IDirectDraw4::WaitForVerticalBlank() failed with RC %u (%s).\r\n"
            "Lamers: Just forget it...",
            result);
    }

    result = appState.primarySurface->BltFast(0, 0, appState.backSurface, &source, DDBLTFAST_WAIT);
    if (result == DDERR_SURFACELOST) {
        // The copy is not repeated; the next frame is rendered into the restored surfaces.
        result = appState.directDraw->RestoreAllSurfaces();
        if (result != DD_OK) {
            return ReportFailure(
                "Sceners: IDirectDrawSurface4::RestoreAllSurfaces() failed with RC %u (%s).\r\n"
                "Lamers: Just forget it...",
                result);
        }
        return 1;
    }
    if (result != DD_OK) {
        return ReportFailure("Sceners: IDirectDrawSurface4::BltFast() failed with RC %u (%s).\r\n"
                             "Lamers: Just forget it...",
                             result);
    }
    return 1;
}
