// DirectDraw effects of the web backend: the screen is the page's canvas.
//
// The picture (0x00RRGGBB words) goes to the canvas as RGBA bytes; the refresh wait is for the
// browser's animation frames, as many as the show's pace gives at the refresh rate the page
// measures (frame_pace.h), or the page's timer; the page runs meanwhile (and sound is rendered).
// Each picture's sync count and light turns are handed to the page with it, as the show recorded
// them when it decided the frame (show_observation.h): the sync count may have moved on during
// the refresh wait before the copy.
#include "web_backend.h"

#include "web_bridge.h"
#include "web_events.h"

#include "frame_pace.h"
#include "show_observation.h"

#include <ddraw.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace web {

struct WebScreenState {
    std::vector<std::uint8_t> rgba;
    platform::PaceRequest pace;
};

static WebScreenState screen;

static bool HavePage() {
    return true;
}

static HRESULT TakeScreen(HWND window) {
    if (window != WebWindowHandle()) {
        return DDERR_INVALIDPARAMS; // only the intro's own window can own the screen
    }
    // Where the browser refuses the whole screen, the picture fills the page instead.
    zarvo_web_take_screen();
    return DD_OK;
}

static HRESULT OpenScreen(int width, int height) {
    screen.rgba.assign(static_cast<std::size_t>(width) * height * 4, 0);
    zarvo_web_open_screen(width, height);
    return DD_OK;
}

static void CloseScreen() {
    zarvo_web_close_screen();
}

static HRESULT WaitForRefresh() {
    // The page's animation frames always wait; until it has measured them, the timer paces.
    const double rate = zarvo_web_refresh_rate();
    const platform::PacePlan plan = platform::PlanPace(screen.pace, rate, true);
    zarvo_web_wait_refresh(plan.refreshes,
                           plan.refreshes > 0 ? 0.0 : 1000.0 / plan.framesPerSecond);
    return DD_OK;
}

static HRESULT ShowPicture(const std::uint32_t* pixels, int width, int height, int pitchBytes) {
    screen.rgba.resize(static_cast<std::size_t>(width) * height * 4);
    std::uint8_t* out = screen.rgba.data();
    for (int y = 0; y < height; ++y) {
        const auto* row =
            reinterpret_cast<const std::uint32_t*>(reinterpret_cast<const std::uint8_t*>(pixels) +
                                                   static_cast<std::ptrdiff_t>(y) * pitchBytes);
        for (int x = 0; x < width; ++x) {
            const std::uint32_t pixel = row[x];
            *out++ = static_cast<std::uint8_t>(pixel >> 16);
            *out++ = static_cast<std::uint8_t>(pixel >> 8);
            *out++ = static_cast<std::uint8_t>(pixel);
            *out++ = 0xFF;
        }
    }
    zarvo_web_show_picture(screen.rgba.data(), width, height);
    // The opening title renders no scene: it has no turns of its own.
    const platform::ShowObservation seen = platform::ObserveShow();
    const bool rendered = seen.phase != platform::Phase::opening;
    zarvo_web_frame_shown(seen.clock, rendered ? static_cast<int>(seen.lightTurns) : -1);
    return DD_OK;
}

void SetWebPace(const platform::PaceRequest& pace) {
    screen.pace = pace;
}

platform::DisplayEffects WebDisplay() {
    platform::DisplayEffects effects;
    effects.available = HavePage;
    effects.takeScreen = TakeScreen;
    effects.openScreen = OpenScreen;
    effects.closeScreen = CloseScreen;
    effects.waitForRefresh = WaitForRefresh;
    effects.showPicture = ShowPicture;
    return effects;
}

} // namespace web
