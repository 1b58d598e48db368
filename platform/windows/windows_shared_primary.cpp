// The shared model's primary surface: BltFast from a surface the system made (the intro's back
// surface) into the view's window; every other operation is refused.
#include "windows_shared_primary.h"

#include "windows_study.h"
#include "windows_view.h"

#include <cstdint>

namespace windows {

namespace {

// The refusals of the operations a screen of this kind does not offer.
#define ZARVO_UNSUPPORTED(name, ...)                                                               \
    HRESULT STDMETHODCALLTYPE name(__VA_ARGS__) override {                                         \
        return DDERR_UNSUPPORTED;                                                                  \
    }

class SharedPrimary final : public IDirectDrawSurface4 {
  public:
    SharedPrimary(int width, int height) : width_(width), height_(height) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        if (IsEqualGUID(riid, IID_IUnknown) || IsEqualGUID(riid, IID_IDirectDrawSurface4)) {
            AddRef();
            *object = this;
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override {
        return ++references_;
    }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references_;
        if (left == 0) {
            delete this;
        }
        return left;
    }

    HRESULT STDMETHODCALLTYPE BltFast(DWORD x, DWORD y, LPDIRECTDRAWSURFACE4 source, LPRECT,
                                      DWORD) override {
        return Show(x, y, source);
    }
    HRESULT STDMETHODCALLTYPE Blt(LPRECT, LPDIRECTDRAWSURFACE4 source, LPRECT, DWORD,
                                  LPDDBLTFX) override {
        return Show(0, 0, source);
    }
    HRESULT STDMETHODCALLTYPE IsLost() override {
        return DD_OK;
    }
    HRESULT STDMETHODCALLTYPE Restore() override {
        return DD_OK;
    }
    HRESULT STDMETHODCALLTYPE GetCaps(LPDDSCAPS2 caps) override {
        if (caps == nullptr) {
            return DDERR_INVALIDPARAMS;
        }
        *caps = DDSCAPS2{};
        caps->dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_VISIBLE;
        return DD_OK;
    }

    ZARVO_UNSUPPORTED(AddAttachedSurface, LPDIRECTDRAWSURFACE4)
    ZARVO_UNSUPPORTED(AddOverlayDirtyRect, LPRECT)
    ZARVO_UNSUPPORTED(BltBatch, LPDDBLTBATCH, DWORD, DWORD)
    ZARVO_UNSUPPORTED(DeleteAttachedSurface, DWORD, LPDIRECTDRAWSURFACE4)
    ZARVO_UNSUPPORTED(EnumAttachedSurfaces, LPVOID, LPDDENUMSURFACESCALLBACK2)
    ZARVO_UNSUPPORTED(EnumOverlayZOrders, DWORD, LPVOID, LPDDENUMSURFACESCALLBACK2)
    ZARVO_UNSUPPORTED(Flip, LPDIRECTDRAWSURFACE4, DWORD)
    ZARVO_UNSUPPORTED(GetAttachedSurface, LPDDSCAPS2, LPDIRECTDRAWSURFACE4*)
    ZARVO_UNSUPPORTED(GetBltStatus, DWORD)
    ZARVO_UNSUPPORTED(GetClipper, LPDIRECTDRAWCLIPPER*)
    ZARVO_UNSUPPORTED(GetColorKey, DWORD, LPDDCOLORKEY)
    ZARVO_UNSUPPORTED(GetDC, HDC*)
    ZARVO_UNSUPPORTED(GetFlipStatus, DWORD)
    ZARVO_UNSUPPORTED(GetOverlayPosition, LPLONG, LPLONG)
    ZARVO_UNSUPPORTED(GetPalette, LPDIRECTDRAWPALETTE*)
    ZARVO_UNSUPPORTED(GetPixelFormat, LPDDPIXELFORMAT)
    ZARVO_UNSUPPORTED(GetSurfaceDesc, LPDDSURFACEDESC2)
    ZARVO_UNSUPPORTED(Initialize, LPDIRECTDRAW, LPDDSURFACEDESC2)
    ZARVO_UNSUPPORTED(Lock, LPRECT, LPDDSURFACEDESC2, DWORD, HANDLE)
    ZARVO_UNSUPPORTED(ReleaseDC, HDC)
    ZARVO_UNSUPPORTED(SetClipper, LPDIRECTDRAWCLIPPER)
    ZARVO_UNSUPPORTED(SetColorKey, DWORD, LPDDCOLORKEY)
    ZARVO_UNSUPPORTED(SetOverlayPosition, LONG, LONG)
    ZARVO_UNSUPPORTED(SetPalette, LPDIRECTDRAWPALETTE)
    ZARVO_UNSUPPORTED(Unlock, LPRECT)
    ZARVO_UNSUPPORTED(UpdateOverlay, LPRECT, LPDIRECTDRAWSURFACE4, LPRECT, DWORD, LPDDOVERLAYFX)
    ZARVO_UNSUPPORTED(UpdateOverlayDisplay, DWORD)
    ZARVO_UNSUPPORTED(UpdateOverlayZOrder, DWORD, LPDIRECTDRAWSURFACE4)
    ZARVO_UNSUPPORTED(GetDDInterface, LPVOID*)
    ZARVO_UNSUPPORTED(PageLock, DWORD)
    ZARVO_UNSUPPORTED(PageUnlock, DWORD)
    ZARVO_UNSUPPORTED(SetSurfaceDesc, LPDDSURFACEDESC2, DWORD)
    ZARVO_UNSUPPORTED(SetPrivateData, REFGUID, LPVOID, DWORD, DWORD)
    ZARVO_UNSUPPORTED(GetPrivateData, REFGUID, LPVOID, LPDWORD)
    ZARVO_UNSUPPORTED(FreePrivateData, REFGUID)
    ZARVO_UNSUPPORTED(GetUniquenessValue, LPDWORD)
    ZARVO_UNSUPPORTED(ChangeUniquenessValue)

  private:
    // The whole of `source` (a picture the size of this screen, at its top left) into the view.
    HRESULT Show(DWORD x, DWORD y, LPDIRECTDRAWSURFACE4 source) {
        if (source == nullptr || x != 0 || y != 0) {
            return DDERR_INVALIDPARAMS;
        }
        DDSURFACEDESC2 desc{};
        desc.dwSize = sizeof(desc);
        const HRESULT result =
            source->Lock(nullptr, &desc, DDLOCK_WAIT | DDLOCK_READONLY | DDLOCK_NOSYSLOCK, nullptr);
        if (result != DD_OK) {
            return result; // a lost surface among them: the intro restores them all
        }
        if (static_cast<int>(desc.dwWidth) == width_ &&
            static_cast<int>(desc.dwHeight) == height_ &&
            desc.ddpfPixelFormat.dwRGBBitCount == 32) {
            const auto* pixels = static_cast<const std::uint32_t*>(desc.lpSurface);
            if (Studying()) {
                StudyShow(pixels, width_, height_, desc.lPitch);
            } else {
                ShowInView(pixels, width_, height_, desc.lPitch);
            }
        }
        source->Unlock(nullptr);
        if (Studying()) {
            StudyFrameDone();
        }
        return DD_OK;
    }

    ULONG references_ = 1;
    int width_;
    int height_;
};

#undef ZARVO_UNSUPPORTED

} // namespace

IDirectDrawSurface4* CreateSharedPrimary(int width, int height) {
    return new SharedPrimary(width, height);
}

} // namespace windows
