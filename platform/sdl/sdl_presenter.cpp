// The screen: renderer, the picture texture, sharp 4:3 scaling and paced presentation.
#include "sdl_presenter.h"

#include "sdl_frame_log.h"
#include "sdl_pace.h"
#include "sdl_faults.h"

#include <SDL.h>
#include <ddraw.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <thread>

namespace sdl {

struct ScreenState {
    SDL_Window* window = nullptr; // the window the screen was opened on (the SDL window)
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* picture = nullptr;  // the width x height picture, the "primary surface"
    SDL_Texture* enlarged = nullptr; // the picture enlarged by whole factors, for sharp scaling
    int enlargedWidth = 0;
    int enlargedHeight = 0;
    int width = 0;
    int height = 0;
    bool open = false; // OpenScreen has succeeded (the renderer may have been made before)
    bool lost = false;
    bool deviceLost = false;
    bool hasPicture = false;
};

static ScreenState screen;

void FitFourByThree(int outputWidth, int outputHeight, SDL_Rect* destination) {
    int w = outputWidth;
    int h = outputWidth * 3 / 4;
    if (h > outputHeight) {
        h = outputHeight;
        w = outputHeight * 4 / 3;
    }
    destination->x = (outputWidth - w) / 2;
    destination->y = (outputHeight - h) / 2;
    destination->w = w;
    destination->h = h;
}

// The refresh rate of the monitor the window is on; 0 when the system does not say.
static double RefreshRate() {
    SDL_DisplayMode mode;
    const int display = screen.window != nullptr ? SDL_GetWindowDisplayIndex(screen.window) : -1;
    if (display < 0 || SDL_GetCurrentDisplayMode(display, &mode) != 0) {
        return 0;
    }
    return mode.refresh_rate;
}

static bool IsSoftware(SDL_Renderer* renderer) {
    SDL_RendererInfo info;
    return SDL_GetRendererInfo(renderer, &info) == 0 && (info.flags & SDL_RENDERER_SOFTWARE) != 0;
}

static int SoftwareDriverIndex() {
    const int drivers = SDL_GetNumRenderDrivers();
    for (int index = 0; index < drivers; ++index) {
        SDL_RendererInfo info;
        if (SDL_GetRenderDriverInfo(index, &info) == 0 &&
            (info.flags & SDL_RENDERER_SOFTWARE) != 0) {
            return index;
        }
    }
    return -1;
}

// Set once OpenGL has failed on the window: each try loads the OpenGL libraries anew, and unloads
// them when it fails, leaving behind what they had made for the connection.
static bool openGlFailed = false;

bool OpenGlRendererWanted() {
    const char* asked = SDL_GetHint(SDL_HINT_RENDER_DRIVER);
    return !openGlFailed &&
           (asked == nullptr || asked[0] == '\0' || SDL_strncasecmp(asked, "opengl", 6) == 0);
}

void NoteOpenGlFailure(const char* reason) {
    if (openGlFailed) {
        return;
    }
    openGlFailed = true;
    // A window surface (the software renderer's) would otherwise be drawn through OpenGL too.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    std::fprintf(stderr, "zarvo: no OpenGL for the window (%s); drawing in software\n",
                 reason != nullptr && reason[0] != '\0' ? reason : "unavailable");
}

// SDL's preferred renderer (OpenGL on X11 and Wayland), else its software renderer, which draws
// wherever the window itself can be drawn into. A renderer made amid X errors is not trusted:
// where no OpenGL context can be had, the set-up fails that way, in parts that report nothing.
static SDL_Renderer* MakeRenderer(SDL_Window* window) {
    SDL_Renderer* renderer = nullptr;
    if (OpenGlRendererWanted()) {
        XErrorTolerance tolerance;
        // Under an emulated refresh the timer alone paces: the renderer must not wait as well.
        const Uint32 vsync = EmulatedRefreshRate() > 0 ? 0 : SDL_RENDERER_PRESENTVSYNC;
        renderer = SDL_CreateRenderer(window, -1, vsync | SDL_RENDERER_TARGETTEXTURE);
        if (renderer == nullptr) {
            renderer = SDL_CreateRenderer(window, -1, 0);
        }
        const std::string reason = SDL_GetError();
        if (renderer != nullptr && !IsSoftware(renderer) && tolerance.Errors() > 0) {
            SDL_DestroyRenderer(renderer);
            renderer = nullptr;
            NoteOpenGlFailure("X errors in its set-up");
        } else if (renderer == nullptr || IsSoftware(renderer)) {
            NoteOpenGlFailure(reason.c_str());
        }
    }
    if (renderer == nullptr) {
        const int software = SoftwareDriverIndex();
        renderer = software >= 0 ? SDL_CreateRenderer(window, software, 0) : nullptr;
    }
    return renderer;
}

static HRESULT CreateRenderer() {
    SDL_Window* window = screen.window;
    if (window == nullptr) {
        return DDERR_NOHWND;
    }
    screen.renderer = MakeRenderer(window);
    if (screen.renderer == nullptr) {
        std::fprintf(stderr, "zarvo: no renderer for the window (%s)\n", SDL_GetError());
        return DDERR_UNSUPPORTEDMODE;
    }
    SDL_RendererInfo info;
    StartPace(SDL_GetRendererInfo(screen.renderer, &info) == 0 &&
                  (info.flags & SDL_RENDERER_PRESENTVSYNC) != 0,
              RefreshRate());
    return DD_OK;
}

static HRESULT CreatePictureTexture() {
    screen.picture = SDL_CreateTexture(screen.renderer, SDL_PIXELFORMAT_RGB888,
                                       SDL_TEXTUREACCESS_STREAMING, screen.width, screen.height);
    if (screen.picture == nullptr) {
        std::fprintf(stderr, "zarvo: no texture for the picture (%s)\n", SDL_GetError());
        return DDERR_OUTOFVIDEOMEMORY;
    }
    SDL_SetTextureScaleMode(screen.picture, SDL_ScaleModeNearest);
    screen.hasPicture = false;
    return DD_OK;
}

static void DestroyTextures() {
    if (screen.enlarged != nullptr) {
        SDL_DestroyTexture(screen.enlarged);
        screen.enlarged = nullptr;
    }
    if (screen.picture != nullptr) {
        SDL_DestroyTexture(screen.picture);
        screen.picture = nullptr;
    }
    screen.enlargedWidth = screen.enlargedHeight = 0;
}

bool PrepareRenderer(SDL_Window* window) {
    if (screen.open || window == nullptr) {
        return false;
    }
    if (screen.renderer != nullptr && screen.window == window) {
        return true;
    }
    CloseScreen();
    screen.window = window;
    return CreateRenderer() == DD_OK;
}

HRESULT OpenScreen(SDL_Window* window, int width, int height) {
    if (screen.open) {
        return window == screen.window && width == screen.width && height == screen.height
                   ? DD_OK
                   : DDERR_INVALIDMODE;
    }
    if (screen.renderer != nullptr && screen.window != window) {
        CloseScreen(); // made ahead for another window
    }
    screen.window = window;
    screen.width = width;
    screen.height = height;
    HRESULT result = screen.renderer != nullptr ? DD_OK : CreateRenderer();
    if (result == DD_OK) {
        result = CreatePictureTexture();
    }
    if (result != DD_OK) {
        CloseScreen();
        return result;
    }
    screen.open = true;
    screen.lost = screen.deviceLost = false;
    return DD_OK;
}

void CloseScreen() {
    DestroyTextures();
    if (screen.renderer != nullptr) {
        SDL_DestroyRenderer(screen.renderer);
    }
    screen = ScreenState{};
}

bool ScreenIsOpen() {
    return screen.open;
}

bool ScreenHasPicture() {
    return screen.open && screen.hasPicture;
}

bool ScreenIsLost() {
    return screen.lost;
}

void MarkScreenLost(bool deviceReset) {
    if (!screen.open) {
        return;
    }
    screen.lost = true;
    screen.deviceLost = screen.deviceLost || deviceReset;
}

HRESULT RestoreScreen() {
    if (!screen.open) {
        return DDERR_NOTINITIALIZED;
    }
    if (!screen.lost) {
        return DD_OK;
    }
    DestroyTextures();
    if (screen.deviceLost) {
        SDL_DestroyRenderer(screen.renderer);
        screen.renderer = nullptr;
        const HRESULT result = CreateRenderer();
        if (result != DD_OK) {
            return result;
        }
    }
    const HRESULT result = CreatePictureTexture();
    if (result != DD_OK) {
        return result;
    }
    screen.lost = screen.deviceLost = false;
    return DD_OK;
}

// The enlarged texture for an output rectangle: the picture's size times the smallest whole
// factors that reach the rectangle, so that the final, smoothed step only shrinks a little.
// Null when whole factors alone fit exactly, or when target textures are unavailable.
static SDL_Texture* EnlargedFor(const SDL_Rect& target) {
    const int factorX = std::max(1, (target.w + screen.width - 1) / screen.width);
    const int factorY = std::max(1, (target.h + screen.height - 1) / screen.height);
    const int w = screen.width * factorX;
    const int h = screen.height * factorY;
    if ((w == target.w && h == target.h) || (factorX == 1 && factorY == 1)) {
        return nullptr;
    }
    if (screen.enlarged != nullptr && w == screen.enlargedWidth && h == screen.enlargedHeight) {
        return screen.enlarged;
    }
    if (screen.enlarged != nullptr) {
        SDL_DestroyTexture(screen.enlarged);
    }
    screen.enlarged =
        SDL_CreateTexture(screen.renderer, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_TARGET, w, h);
    screen.enlargedWidth = screen.enlarged != nullptr ? w : 0;
    screen.enlargedHeight = screen.enlarged != nullptr ? h : 0;
    if (screen.enlarged != nullptr) {
        SDL_SetTextureScaleMode(screen.enlarged, SDL_ScaleModeLinear);
    }
    return screen.enlarged;
}

// Draws the picture into the window and presents it; false when the renderer failed.
static bool DrawAndPresent() {
    int outputWidth = 0;
    int outputHeight = 0;
    if (SDL_GetRendererOutputSize(screen.renderer, &outputWidth, &outputHeight) != 0) {
        return false;
    }
    SDL_Rect target;
    FitFourByThree(outputWidth, outputHeight, &target);
    bool ok = SDL_SetRenderDrawColor(screen.renderer, 0, 0, 0, 255) == 0 &&
              SDL_RenderClear(screen.renderer) == 0;
    SDL_Texture* enlarged = ok ? EnlargedFor(target) : nullptr;
    if (ok && enlarged != nullptr && SDL_SetRenderTarget(screen.renderer, enlarged) == 0) {
        ok = SDL_RenderCopy(screen.renderer, screen.picture, nullptr, nullptr) == 0;
        ok = SDL_SetRenderTarget(screen.renderer, nullptr) == 0 && ok;
        ok = ok && SDL_RenderCopy(screen.renderer, enlarged, nullptr, &target) == 0;
    } else if (ok) {
        ok = SDL_RenderCopy(screen.renderer, screen.picture, nullptr, &target) == 0;
    }
    SDL_RenderPresent(screen.renderer);
    NotePresent();
    return ok;
}

HRESULT ShowPicture(const std::uint32_t* pixels, int width, int height, int pitchBytes) {
    if (!screen.open || (screen.picture == nullptr && !screen.lost)) {
        return DDERR_NOTINITIALIZED;
    }
    if (width != screen.width || height != screen.height) {
        return DDERR_INVALIDRECT;
    }
    if (screen.lost) {
        return DDERR_SURFACELOST;
    }
    if (SDL_UpdateTexture(screen.picture, nullptr, pixels, pitchBytes) != 0) {
        return DDERR_SURFACELOST;
    }
    screen.hasPicture = true;
    if (!DrawAndPresent()) {
        // A renderer that cannot draw has lost its device; restoring makes a new one.
        MarkScreenLost(true);
        return DDERR_SURFACELOST;
    }
    LogFrame();
    return DD_OK;
}

void RepaintScreen() {
    if (screen.open && screen.hasPicture && !screen.lost) {
        DrawAndPresent();
    }
}

// Shows the last picture once more, for a frame that spans several refreshes; false when there
// is none to show.
static bool RepeatPicture() {
    if (!screen.open || !screen.hasPicture || screen.lost) {
        return false;
    }
    if (!DrawAndPresent()) {
        MarkScreenLost(true);
        return false;
    }
    return true;
}

void WaitForRefresh() {
    PaceForFrame(RepeatPicture);
}

} // namespace sdl
