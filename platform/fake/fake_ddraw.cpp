// The double's DirectDraw object: creation, the version-4 query, levels, mode and surfaces.
#include <string>

#include "ddraw_arguments.h"
#include "platform/fake/fake_state.h"

namespace fake {

namespace {

FakeDirectDraw1* Self(IDirectDraw* object) {
    return static_cast<FakeDirectDraw1*>(object);
}

FakeDirectDraw4* Self(IDirectDraw4* object) {
    return static_cast<FakeDirectDraw4*>(object);
}

// Notes a call on an interface whose last reference has been given up.
void CheckAlive(int references, const char* call) {
    if (references <= 0) {
        Violation(std::string(call) + " on a released DirectDraw object");
    }
}

std::string SurfaceRole(const DDSURFACEDESC2* desc) {
    if (desc != nullptr && (desc->ddsCaps.dwCaps & DDSCAPS_PRIMARYSURFACE) != 0) {
        return "primary";
    }
    return "back";
}

FakeSurface* MakeSurface(const std::string& role) {
    State& state = S();
    auto surface = std::make_unique<FakeSurface>();
    surface->role = role;
    if (role == "primary") {
        surface->pitch = kWidth * 4;
        surface->pixels.assign(static_cast<size_t>(kWidth * kHeight), 0);
    } else {
        surface->pitch = state.backPitch;
        surface->pixels.assign(static_cast<size_t>(state.backPitch / 4 * kHeight), kFreshPixel);
    }
    state.surfaces.push_back(std::move(surface));
    FakeSurface* made = state.surfaces.back().get();
    (role == "primary" ? state.primary : state.back) = made;
    return made;
}

} // namespace

std::string HandleName(const void* handle) {
    if (handle == nullptr) {
        return "NULL";
    }
    State& state = S();
    for (auto& surface : state.surfaces) {
        if (static_cast<const void*>(static_cast<IDirectDrawSurface4*>(surface.get())) == handle) {
            return surface->role;
        }
    }
    return "object?";
}

int LiveDisplayObjects() {
    int live = 0;
    State& state = S();
    for (auto& object : state.directDraws1) {
        live += object->references > 0 ? 1 : 0;
    }
    for (auto& object : state.directDraws4) {
        live += object->references > 0 ? 1 : 0;
    }
    for (auto& object : state.surfaces) {
        live += object->references > 0 ? 1 : 0;
    }
    return live;
}

bool Exclusive() {
    return S().exclusive;
}

bool ModeChanged() {
    return S().modeChanged;
}

const std::vector<DDSURFACEDESC2>& SurfaceRequests() {
    return S().surfaceRequests;
}

} // namespace fake

using namespace fake;

HRESULT WINAPI DirectDrawCreate(GUID* driverGuid, LPDIRECTDRAW* directDraw, IUnknown* outer) {
    // The shared argument rules give the fallback; a script overrides only a call they let pass.
    const HRESULT rule = platform::CheckCreateArguments(driverGuid, directDraw, outer);
    const HRESULT result = static_cast<HRESULT>(Enter(
        "", "DirectDrawCreate",
        std::string(driverGuid ? "guid" : "NULL") + ", out, " + (outer ? "outer" : "NULL"), rule));
    if (rule != DD_OK) {
        return rule;
    }
    if (result != DD_OK) {
        return result;
    }
    S().directDraws1.push_back(std::make_unique<FakeDirectDraw1>());
    *directDraw = S().directDraws1.back().get();
    return DD_OK;
}

HRESULT IDirectDraw::QueryInterface(REFIID iid, LPVOID* object) {
    CheckAlive(Self(this)->references, "QueryInterface");
    const HRESULT rule = platform::CheckQueryArguments(iid, object);
    const HRESULT result = static_cast<HRESULT>(
        Enter("directDraw1", "QueryInterface",
              std::string(iid == IID_IDirectDraw4 ? "IID_IDirectDraw4" : "iid?") + ", out", rule));
    if (rule != DD_OK) {
        return rule;
    }
    if (result != DD_OK) {
        return result;
    }
    S().directDraws4.push_back(std::make_unique<FakeDirectDraw4>());
    *object = static_cast<IDirectDraw4*>(S().directDraws4.back().get());
    return DD_OK;
}

ULONG IDirectDraw::Release() {
    FakeDirectDraw1* self = Self(this);
    CheckAlive(self->references, "Release");
    Enter("directDraw1", "Release", "", 0);
    return static_cast<ULONG>(self->references > 0 ? --self->references : 0);
}

ULONG IDirectDraw4::Release() {
    FakeDirectDraw4* self = Self(this);
    CheckAlive(self->references, "Release");
    Enter("directDraw", "Release", "", 0);
    return static_cast<ULONG>(self->references > 0 ? --self->references : 0);
}

HRESULT IDirectDraw4::SetCooperativeLevel(HWND window, DWORD flags) {
    CheckAlive(Self(this)->references, "SetCooperativeLevel");
    const HRESULT rule = platform::CheckCooperativeLevel(window, flags);
    const HRESULT result =
        static_cast<HRESULT>(Enter("directDraw", "SetCooperativeLevel",
                                   WindowName(window) + ", " + std::to_string(flags), rule));
    if (rule != DD_OK) {
        return rule;
    }
    if (result == DD_OK) {
        S().exclusive = (flags & DDSCL_EXCLUSIVE) != 0;
    }
    return result;
}

HRESULT IDirectDraw4::SetDisplayMode(DWORD width, DWORD height, DWORD bitsPerPixel,
                                     DWORD refreshRate, DWORD flags) {
    CheckAlive(Self(this)->references, "SetDisplayMode");
    const HRESULT result =
        static_cast<HRESULT>(Enter("directDraw", "SetDisplayMode",
                                   std::to_string(width) + ", " + std::to_string(height) + ", " +
                                       std::to_string(bitsPerPixel) + ", " +
                                       std::to_string(refreshRate) + ", " + std::to_string(flags),
                                   DD_OK));
    if (result == DD_OK) {
        if (!S().exclusive) {
            Violation("SetDisplayMode without the exclusive cooperative level");
        }
        S().modeChanged = true;
    }
    return result;
}

HRESULT IDirectDraw4::RestoreDisplayMode() {
    CheckAlive(Self(this)->references, "RestoreDisplayMode");
    const HRESULT result =
        static_cast<HRESULT>(Enter("directDraw", "RestoreDisplayMode", "", DD_OK));
    if (result == DD_OK) {
        S().modeChanged = false;
    }
    return result;
}

HRESULT IDirectDraw4::CreateSurface(LPDDSURFACEDESC2 desc, LPDIRECTDRAWSURFACE4* surface,
                                    IUnknown* outer) {
    CheckAlive(Self(this)->references, "CreateSurface");
    const std::string role = SurfaceRole(desc);
    HRESULT result = static_cast<HRESULT>(Enter(
        "directDraw", "CreateSurface", role + " desc, out, " + (outer ? "outer" : "NULL"), DD_OK));
    S().surfaceRequests.push_back(*desc);
    if (result == DD_OK && desc->dwSize != platform::kWindowsSurfaceDescSize) {
        Violation("CreateSurface with dwSize " + std::to_string(desc->dwSize));
        result = DDERR_INVALIDPARAMS;
    }
    if (result != DD_OK) {
        *surface = nullptr;
        return result;
    }
    *surface = MakeSurface(role);
    return DD_OK;
}

HRESULT IDirectDraw4::WaitForVerticalBlank(DWORD flags, HANDLE event) {
    CheckAlive(Self(this)->references, "WaitForVerticalBlank");
    const HRESULT rule = platform::CheckWaitArguments(flags, event);
    const HRESULT result = static_cast<HRESULT>(
        Enter("directDraw", "WaitForVerticalBlank",
              std::to_string(flags) + ", " + (event ? "event" : "NULL"), rule));
    return rule != DD_OK ? rule : result;
}

HRESULT IDirectDraw4::RestoreAllSurfaces() {
    CheckAlive(Self(this)->references, "RestoreAllSurfaces");
    return static_cast<HRESULT>(Enter("directDraw", "RestoreAllSurfaces", "", DD_OK));
}
