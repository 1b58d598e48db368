// DirectDraw effects of the capture, for the common DirectDraw model (capture_backend.h): no
// screen, and every copy to the primary surface is one presented frame, handed to the virtual clock
// (capture_run.h). The vertical blank is always now, and nothing is ever lost.
#include "capture_backend.h"

#include "capture_run.h"
#include "capture_video_encoder.h"

#include <ddraw.h>

#include <cstdint>

namespace capture {

static_assert(kFrameWidth == platform::kDisplayWidth && kFrameHeight == platform::kDisplayHeight,
              "the capture records the display's one mode");

static HRESULT PresentFrame(const std::uint32_t* pixels, int, int, int) {
    PresentCapturedFrame(pixels);
    return DD_OK;
}

platform::DisplayEffects CaptureDisplay() {
    platform::DisplayEffects effects;
    effects.showPicture = PresentFrame;
    return effects;
}

} // namespace capture
