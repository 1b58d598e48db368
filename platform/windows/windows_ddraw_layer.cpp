// The layer's IDirectDraw and IDirectDraw4: forwarders to the system's, but for the display
// mode, the cooperative level and the primary surface of the shared model, and the paced wait
// for the vertical blank.
#include "windows_ddraw_layer.h"

#include "windows_frame_pacer.h"
#include "windows_shared_primary.h"
#include "windows_study.h"
#include "windows_view.h"

namespace windows {

namespace {

// EnumDisplayModes' callback: one mode that matched is enough.
HRESULT CALLBACK NoteMode(LPDDSURFACEDESC2 mode, LPVOID found) {
    if (mode == nullptr) {
        return DDENUMRET_OK;
    }
    *static_cast<bool*>(found) = true;
    return DDENUMRET_CANCEL;
}

#define ZARVO_FORWARD(name, parameters, arguments)                                                 \
    HRESULT STDMETHODCALLTYPE name parameters override {                                           \
        return system_->name arguments;                                                            \
    }

class LayerDirectDraw4 final : public IDirectDraw4 {
  public:
    LayerDirectDraw4(IDirectDraw4* system, const DisplayChoice& choice)
        : system_(system), choice_(choice) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        if (object != nullptr && IsEqualGUID(riid, IID_IDirectDraw4)) {
            AddRef();
            *object = this;
            return S_OK;
        }
        return system_->QueryInterface(riid, object);
    }
    ULONG STDMETHODCALLTYPE AddRef() override {
        return ++references_;
    }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references_;
        if (left == 0) {
            if (choice_.shared) {
                DetachView();
            }
            system_->Release();
            delete this;
        }
        return left;
    }

    HRESULT STDMETHODCALLTYPE SetCooperativeLevel(HWND window, DWORD flags) override {
        window_ = window;
        if (!choice_.shared || (flags & DDSCL_EXCLUSIVE) == 0) {
            return system_->SetCooperativeLevel(window, flags);
        }
        return ShareDesktop();
    }

    HRESULT STDMETHODCALLTYPE SetDisplayMode(DWORD width, DWORD height, DWORD bitsPerPixel,
                                             DWORD refreshRate, DWORD flags) override {
        width_ = static_cast<int>(width);
        height_ = static_cast<int>(height);
        if (!choice_.shared && !Offers(width, height, bitsPerPixel)) {
            choice_.shared = true;
            const HRESULT shared = ShareDesktop();
            if (shared != DD_OK) {
                return shared;
            }
        }
        if (!choice_.shared) {
            const HRESULT result =
                system_->SetDisplayMode(width, height, bitsPerPixel, refreshRate, flags);
            if (result == DD_OK) {
                DWORD frequency = 0;
                SetPaceRefreshRate(system_->GetMonitorFrequency(&frequency) == DD_OK ? frequency
                                                                                     : 0);
                return DD_OK;
            }
            // Offered but refused: the picture goes to the desktop instead.
            OutputDebugStringA("zarvo: the display refused the mode it offers; showing the "
                               "picture at the desktop's mode\n");
            choice_.shared = true;
            const HRESULT shared = ShareDesktop();
            if (shared != DD_OK) {
                return result;
            }
        }
        SetPaceRefreshRate(ViewRefreshRate());
        return DD_OK;
    }

    HRESULT STDMETHODCALLTYPE RestoreDisplayMode() override {
        return choice_.shared ? DD_OK : system_->RestoreDisplayMode();
    }

    HRESULT STDMETHODCALLTYPE CreateSurface(LPDDSURFACEDESC2 desc, LPDIRECTDRAWSURFACE4* surface,
                                            IUnknown* outer) override {
        if (choice_.shared && desc != nullptr && surface != nullptr &&
            (desc->dwFlags & DDSD_CAPS) != 0 &&
            (desc->ddsCaps.dwCaps & DDSCAPS_PRIMARYSURFACE) != 0) {
            *surface = CreateSharedPrimary(width_, height_);
            return DD_OK;
        }
        return system_->CreateSurface(desc, surface, outer);
    }

    HRESULT STDMETHODCALLTYPE WaitForVerticalBlank(DWORD, HANDLE) override {
        if (Studying()) {
            return StudyWait(
                [](void* self) { return static_cast<LayerDirectDraw4*>(self)->Pace(); }, this);
        }
        return Pace();
    }

    HRESULT Pace() {
        return PaceFrame(
            [](void* self) {
                return static_cast<LayerDirectDraw4*>(self)->system_->WaitForVerticalBlank(
                    DDWAITVB_BLOCKBEGIN, nullptr);
            },
            this);
    }

    ZARVO_FORWARD(Compact, (), ())
    ZARVO_FORWARD(CreateClipper, (DWORD flags, LPDIRECTDRAWCLIPPER* clipper, IUnknown* outer),
                  (flags, clipper, outer))
    ZARVO_FORWARD(CreatePalette,
                  (DWORD flags, LPPALETTEENTRY colours, LPDIRECTDRAWPALETTE* palette,
                   IUnknown* outer),
                  (flags, colours, palette, outer))
    ZARVO_FORWARD(DuplicateSurface, (LPDIRECTDRAWSURFACE4 surface, LPDIRECTDRAWSURFACE4* copy),
                  (surface, copy))
    ZARVO_FORWARD(EnumDisplayModes,
                  (DWORD flags, LPDDSURFACEDESC2 desc, LPVOID context,
                   LPDDENUMMODESCALLBACK2 callback),
                  (flags, desc, context, callback))
    ZARVO_FORWARD(EnumSurfaces,
                  (DWORD flags, LPDDSURFACEDESC2 desc, LPVOID context,
                   LPDDENUMSURFACESCALLBACK2 callback),
                  (flags, desc, context, callback))
    ZARVO_FORWARD(FlipToGDISurface, (), ())
    ZARVO_FORWARD(GetCaps, (LPDDCAPS driver, LPDDCAPS emulation), (driver, emulation))
    ZARVO_FORWARD(GetDisplayMode, (LPDDSURFACEDESC2 desc), (desc))
    ZARVO_FORWARD(GetFourCCCodes, (LPDWORD count, LPDWORD codes), (count, codes))
    ZARVO_FORWARD(GetGDISurface, (LPDIRECTDRAWSURFACE4 * surface), (surface))
    ZARVO_FORWARD(GetMonitorFrequency, (LPDWORD frequency), (frequency))
    ZARVO_FORWARD(GetScanLine, (LPDWORD line), (line))
    ZARVO_FORWARD(GetVerticalBlankStatus, (WINBOOL * inBlank), (inBlank))
    ZARVO_FORWARD(Initialize, (GUID * guid), (guid))
    ZARVO_FORWARD(GetAvailableVidMem, (LPDDSCAPS2 caps, LPDWORD total, LPDWORD free),
                  (caps, total, free))
    ZARVO_FORWARD(GetSurfaceFromDC, (HDC dc, LPDIRECTDRAWSURFACE4* surface), (dc, surface))
    ZARVO_FORWARD(RestoreAllSurfaces, (), ())
    ZARVO_FORWARD(TestCooperativeLevel, (), ())
    ZARVO_FORWARD(GetDeviceIdentifier, (LPDDDEVICEIDENTIFIER identifier, DWORD flags),
                  (identifier, flags))

  private:
    // Whether the display lists a mode of this size and depth.
    bool Offers(DWORD width, DWORD height, DWORD bitsPerPixel) {
        DDSURFACEDESC2 wanted{};
        wanted.dwSize = sizeof(wanted);
        wanted.dwFlags = DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
        wanted.dwWidth = width;
        wanted.dwHeight = height;
        wanted.ddpfPixelFormat.dwSize = sizeof(wanted.ddpfPixelFormat);
        wanted.ddpfPixelFormat.dwFlags = DDPF_RGB;
        wanted.ddpfPixelFormat.dwRGBBitCount = bitsPerPixel;
        bool found = false;
        // A listing that fails tells nothing: the system is then asked for the mode itself.
        if (system_->EnumDisplayModes(0, &wanted, &found, NoteMode) != DD_OK) {
            return true;
        }
        return found;
    }

    // The desktop's shared mode, the picture in the intro's window.
    HRESULT ShareDesktop() {
        const HRESULT result = system_->SetCooperativeLevel(window_, DDSCL_NORMAL);
        if (result != DD_OK) {
            return result;
        }
        return AttachView(window_, choice_.windowed, choice_.display) ? DD_OK : DDERR_INVALIDPARAMS;
    }

    IDirectDraw4* system_;
    DisplayChoice choice_;
    ULONG references_ = 1;
    HWND window_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};

class LayerDirectDraw final : public IDirectDraw {
  public:
    LayerDirectDraw(IDirectDraw* system, const DisplayChoice& choice)
        : system_(system), choice_(choice) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        if (IsEqualGUID(riid, IID_IDirectDraw4)) {
            void* system = nullptr;
            const HRESULT result = system_->QueryInterface(riid, &system);
            if (result != S_OK) {
                *object = nullptr;
                return result;
            }
            *object = static_cast<IDirectDraw4*>(
                new LayerDirectDraw4(static_cast<IDirectDraw4*>(system), choice_));
            return S_OK;
        }
        if (IsEqualGUID(riid, IID_IDirectDraw)) {
            AddRef();
            *object = this;
            return S_OK;
        }
        return system_->QueryInterface(riid, object);
    }
    ULONG STDMETHODCALLTYPE AddRef() override {
        return ++references_;
    }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references_;
        if (left == 0) {
            system_->Release();
            delete this;
        }
        return left;
    }

    ZARVO_FORWARD(Compact, (), ())
    ZARVO_FORWARD(CreateClipper, (DWORD flags, LPDIRECTDRAWCLIPPER* clipper, IUnknown* outer),
                  (flags, clipper, outer))
    ZARVO_FORWARD(CreatePalette,
                  (DWORD flags, LPPALETTEENTRY colours, LPDIRECTDRAWPALETTE* palette,
                   IUnknown* outer),
                  (flags, colours, palette, outer))
    ZARVO_FORWARD(CreateSurface,
                  (LPDDSURFACEDESC desc, LPDIRECTDRAWSURFACE* surface, IUnknown* outer),
                  (desc, surface, outer))
    ZARVO_FORWARD(DuplicateSurface, (LPDIRECTDRAWSURFACE surface, LPDIRECTDRAWSURFACE* copy),
                  (surface, copy))
    ZARVO_FORWARD(EnumDisplayModes,
                  (DWORD flags, LPDDSURFACEDESC desc, LPVOID context,
                   LPDDENUMMODESCALLBACK callback),
                  (flags, desc, context, callback))
    ZARVO_FORWARD(EnumSurfaces,
                  (DWORD flags, LPDDSURFACEDESC desc, LPVOID context,
                   LPDDENUMSURFACESCALLBACK callback),
                  (flags, desc, context, callback))
    ZARVO_FORWARD(FlipToGDISurface, (), ())
    ZARVO_FORWARD(GetCaps, (LPDDCAPS driver, LPDDCAPS emulation), (driver, emulation))
    ZARVO_FORWARD(GetDisplayMode, (LPDDSURFACEDESC desc), (desc))
    ZARVO_FORWARD(GetFourCCCodes, (LPDWORD count, LPDWORD codes), (count, codes))
    ZARVO_FORWARD(GetGDISurface, (LPDIRECTDRAWSURFACE * surface), (surface))
    ZARVO_FORWARD(GetMonitorFrequency, (LPDWORD frequency), (frequency))
    ZARVO_FORWARD(GetScanLine, (LPDWORD line), (line))
    ZARVO_FORWARD(GetVerticalBlankStatus, (WINBOOL * inBlank), (inBlank))
    ZARVO_FORWARD(Initialize, (GUID * guid), (guid))
    ZARVO_FORWARD(RestoreDisplayMode, (), ())
    ZARVO_FORWARD(SetCooperativeLevel, (HWND window, DWORD flags), (window, flags))
    ZARVO_FORWARD(SetDisplayMode, (DWORD width, DWORD height, DWORD bitsPerPixel),
                  (width, height, bitsPerPixel))
    ZARVO_FORWARD(WaitForVerticalBlank, (DWORD flags, HANDLE event), (flags, event))

  private:
    IDirectDraw* system_;
    DisplayChoice choice_;
    ULONG references_ = 1;
};

#undef ZARVO_FORWARD

} // namespace

IDirectDraw* WrapDirectDraw(IDirectDraw* system, const DisplayChoice& choice) {
    return new LayerDirectDraw(system, choice);
}

} // namespace windows
