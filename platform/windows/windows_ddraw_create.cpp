// DirectDrawCreate of zarvo.exe: the system's ddraw.dll, loaded by name as the import would have
// loaded it (so a ddraw.dll placed beside the program still comes first), with the layer of
// windows_ddraw_layer.h over the object it makes. --window chooses the desktop's shared mode
// here; --display N the DirectDraw device of that monitor.
#include "windows_ddraw_layer.h"
#include "start_options.h"
#include "windows_view.h"

#include <windows.h>

#include <ddraw.h>

namespace {

using CreateFunction = HRESULT(WINAPI*)(GUID*, LPDIRECTDRAW*, IUnknown*);
using EnumerateFunction = HRESULT(WINAPI*)(LPDDENUMCALLBACKEXA, LPVOID, DWORD);

struct DeviceSearch {
    HMONITOR monitor = nullptr;
    GUID guid{};
    bool found = false;
};

BOOL WINAPI NoteDevice(GUID* guid, LPSTR, LPSTR, LPVOID context, HMONITOR monitor) {
    auto* search = static_cast<DeviceSearch*>(context);
    if (guid != nullptr && monitor == search->monitor) {
        search->guid = *guid;
        search->found = true;
        return FALSE;
    }
    return TRUE;
}

// The device of the monitor the options name; false for the primary display's (the default).
bool DeviceOfMonitor(HMODULE ddraw, int display, GUID& guid) {
    if (display <= 0) {
        return false;
    }
    const auto enumerate = reinterpret_cast<EnumerateFunction>(
        reinterpret_cast<void*>(GetProcAddress(ddraw, "DirectDrawEnumerateExA")));
    DeviceSearch search;
    search.monitor = windows::MonitorAt(display);
    if (enumerate == nullptr || search.monitor == nullptr ||
        enumerate(NoteDevice, &search, DDENUM_ATTACHEDSECONDARYDEVICES) != DD_OK || !search.found) {
        return false;
    }
    guid = search.guid;
    return true;
}

} // namespace

HRESULT WINAPI DirectDrawCreate(GUID* guid, LPDIRECTDRAW* object, IUnknown* outer) {
    if (object == nullptr) {
        return DDERR_INVALIDPARAMS;
    }
    *object = nullptr;
    static HMODULE ddraw = LoadLibraryA("ddraw.dll");
    const auto create = ddraw != nullptr ? reinterpret_cast<CreateFunction>(reinterpret_cast<void*>(
                                               GetProcAddress(ddraw, "DirectDrawCreate")))
                                         : nullptr;
    if (create == nullptr) {
        return DDERR_NODIRECTDRAWSUPPORT;
    }
    const platform::StartOptions& options = platform::CurrentStartOptions();
    GUID device{};
    if (guid == nullptr && DeviceOfMonitor(ddraw, options.display, device)) {
        guid = &device;
    }
    IDirectDraw* system = nullptr;
    const HRESULT result = create(guid, &system, outer);
    if (result != DD_OK) {
        return result;
    }
    windows::DisplayChoice choice;
    // The study mode sees every picture on its way to the view: the desktop's mode.
    choice.shared = options.windowed || options.study;
    choice.windowed = options.windowed;
    choice.display = options.display;
    *object = windows::WrapDirectDraw(system, choice);
    return DD_OK;
}
