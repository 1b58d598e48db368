// The argument rules of DirectDrawCreate and QueryInterface shared by the backends.
#include "ddraw_arguments.h"

namespace platform {

HRESULT CheckCreateArguments(const GUID* driverGuid, LPDIRECTDRAW* directDraw,
                             const IUnknown* outer) {
    if (directDraw == nullptr) {
        return DDERR_INVALIDPARAMS;
    }
    *directDraw = nullptr;
    if (outer != nullptr) {
        return DDERR_INVALIDPARAMS; // no aggregation, as with the real library
    }
    if (driverGuid != nullptr) {
        return DDERR_INVALIDDIRECTDRAWGUID;
    }
    return DD_OK;
}

HRESULT CheckQueryArguments(REFIID iid, LPVOID* object) {
    if (object == nullptr) {
        return DDERR_INVALIDPARAMS;
    }
    *object = nullptr;
    if (!(iid == IID_IDirectDraw4)) {
        return E_NOINTERFACE;
    }
    return DD_OK;
}

} // namespace platform
