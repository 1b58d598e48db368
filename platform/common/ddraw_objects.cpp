// The DirectDraw object of the real backends: DirectDrawCreate, IDirectDraw and IDirectDraw4's
// level, mode, vertical blank and restore (surfaces are in ddraw_surfaces.cpp).
#include "ddraw_arguments.h"
#include "ddraw_model.h"
#include "window_table.h"

#include <new>

namespace platform {

namespace {

// The one DirectDraw object a program may have at a time, as with the primary display driver.
int objectsAlive = 0;

ULONG DropReference(DirectDrawObject* self, ULONG& count) {
    if (count == 0) {
        return 0; // released once too often: nothing is left to give up
    }
    const ULONG left = --count;
    if (self->firstReferences == 0 && self->version4References == 0) {
        delete self;
        --objectsAlive;
    }
    return left;
}

} // namespace

const DisplayEffects& Effects() {
    return InstalledBackend().ddraw;
}

DirectDrawObject* ObjectOf(IDirectDraw* object) {
    return static_cast<DirectDrawObject*>(object);
}

DirectDrawObject* ObjectOf(IDirectDraw4* object) {
    return static_cast<DirectDrawObject*>(object);
}

} // namespace platform

using platform::Effects;
using platform::ObjectOf;

HRESULT WINAPI DirectDrawCreate(GUID* driverGuid, LPDIRECTDRAW* directDraw, IUnknown* outer) {
    const HRESULT checked = platform::CheckCreateArguments(driverGuid, directDraw, outer);
    if (checked != DD_OK) {
        return checked;
    }
    if (Effects().available != nullptr && !Effects().available()) {
        return DDERR_NODIRECTDRAWHW;
    }
    if (platform::objectsAlive > 0) {
        return DDERR_DIRECTDRAWALREADYCREATED;
    }
    auto* object = new (std::nothrow) platform::DirectDrawObject();
    if (object == nullptr) {
        return DDERR_OUTOFMEMORY;
    }
    ++platform::objectsAlive;
    *directDraw = object;
    return DD_OK;
}

HRESULT IDirectDraw::QueryInterface(REFIID iid, LPVOID* object) {
    const HRESULT checked = platform::CheckQueryArguments(iid, object);
    if (checked != DD_OK) {
        return checked;
    }
    // The same object under its other interface, with a reference of that interface.
    platform::DirectDrawObject* self = ObjectOf(this);
    ++self->version4References;
    *object = static_cast<IDirectDraw4*>(self);
    return DD_OK;
}

ULONG IDirectDraw::Release() {
    platform::DirectDrawObject* self = ObjectOf(this);
    return platform::DropReference(self, self->firstReferences);
}

ULONG IDirectDraw4::Release() {
    platform::DirectDrawObject* self = ObjectOf(this);
    return platform::DropReference(self, self->version4References);
}

HRESULT IDirectDraw4::SetCooperativeLevel(HWND window, DWORD flags) {
    platform::DirectDrawObject* self = ObjectOf(this);
    const HRESULT checked = platform::CheckCooperativeLevel(window, flags);
    if (checked != DD_OK) {
        return checked;
    }
    if ((flags & DDSCL_NORMAL) != 0) {
        self->exclusive = false;
        self->levelSet = true;
        return DD_OK;
    }
    if (!platform::WindowIsAlive(window)) {
        return DDERR_INVALIDPARAMS;
    }
    if (Effects().takeScreen != nullptr) {
        const HRESULT taken = Effects().takeScreen(window);
        if (taken != DD_OK) {
            return taken;
        }
    }
    self->exclusive = true;
    self->levelSet = true;
    return DD_OK;
}

HRESULT IDirectDraw4::SetDisplayMode(DWORD width, DWORD height, DWORD bitsPerPixel,
                                     DWORD refreshRate, DWORD flags) {
    platform::DirectDrawObject* self = ObjectOf(this);
    if (!self->exclusive) {
        return DDERR_NOEXCLUSIVEMODE;
    }
    if (flags != 0) {
        return DDERR_INVALIDPARAMS; // no mode flag is honoured
    }
    // One mode is offered, at the display's own (default) rate: any other size, depth or rate
    // is a mode the display does not have.
    if (width != static_cast<DWORD>(platform::kDisplayWidth) ||
        height != static_cast<DWORD>(platform::kDisplayHeight) ||
        bitsPerPixel != static_cast<DWORD>(platform::kDisplayBitsPerPixel) || refreshRate != 0) {
        return DDERR_INVALIDMODE;
    }
    if (Effects().openScreen != nullptr) {
        const HRESULT opened =
            Effects().openScreen(platform::kDisplayWidth, platform::kDisplayHeight);
        if (opened != DD_OK) {
            return opened;
        }
    }
    self->modeSet = true;
    return DD_OK;
}

HRESULT IDirectDraw4::RestoreDisplayMode() {
    // The screen stays until the primary surface goes; only the mode is given back.
    ObjectOf(this)->modeSet = false;
    return DD_OK;
}

HRESULT IDirectDraw4::WaitForVerticalBlank(DWORD flags, HANDLE event) {
    const HRESULT checked = platform::CheckWaitArguments(flags, event);
    if (checked != DD_OK) {
        return checked;
    }
    return Effects().waitForRefresh != nullptr ? Effects().waitForRefresh() : DD_OK;
}

HRESULT IDirectDraw4::RestoreAllSurfaces() {
    if (!ObjectOf(this)->modeSet) {
        return DDERR_WRONGMODE; // the surfaces were made for a mode that is no longer set
    }
    return Effects().restoreScreen != nullptr ? Effects().restoreScreen() : DD_OK;
}
