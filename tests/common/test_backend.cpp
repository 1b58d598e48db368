// The backend of the common tests (test_backend.h).
#include "test_backend.h"

#include "gdi_font.h"

namespace commontest {

platform::Backend TestBackend() {
    platform::Backend backend;
#ifdef __EMSCRIPTEN__
    backend.gdi.findFontFace = platform::FindEmbeddedFontFace;
#else
    backend.gdi.findFontFace = platform::FindFontconfigFace;
#endif
    return backend;
}

} // namespace commontest

namespace {

[[maybe_unused]] const bool installed = (platform::InstallBackend(commontest::TestBackend()), true);

} // namespace
