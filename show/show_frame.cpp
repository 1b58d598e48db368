// ShowFrame: phase choice, sphere placement, the light's turn and the closing fade.
#include "show/show_frame.h"

#include <atomic>
#include <cmath>
#include <cstdint>

#include "app/app_state.h"
#include "display/frame_access.h"
#include "raytrace/render_frame.h"
#include "raytrace/scene.h"
#include "show/overlays.h"

ShowRecord showRecord = {};

namespace {

// syncCount as read right after the last main-phase frame was presented; the end phase measures
// its fade window from here.
DWORD lastMainTick = 0;

// Turns light 1 has made since the program started.
DWORD lightTurns = 0;

constexpr DWORD kOpeningLength = 3;
constexpr DWORD kTitleLength = 240;
constexpr int kCaptionShift = 7; // one caption per 128 sync events
constexpr DWORD kCaptionCount = 35;
constexpr DWORD kMainLength = kCaptionCount << kCaptionShift; // 4480
constexpr float kFarThreshold = 103.0f;
constexpr DWORD kFadeWindow = 64;
constexpr float kFadeFactor = 0.8f;
constexpr float kEndThreshold = 0.1f;
constexpr double kLightTurn = 0.1; // radian per rendered frame

// The single-precision constants of the bounce, widened for double arithmetic.
constexpr float kPiOver32 = 0.09817477f;
constexpr float kPiOver2 = 1.5707964f;

DWORD ReadClock() {
    return appState.syncCount.load(std::memory_order_relaxed);
}

float BounceHeight(DWORD t) {
    return static_cast<float>(20.0 *
                              std::fabs(std::sin(static_cast<double>(t) * kPiOver32 + kPiOver2)));
}

void PlaceSphere(DWORD t) {
    const double time = static_cast<double>(t);
    scene.sphereCenter.x = static_cast<float>(30.0 * std::sin(time * 0.015625));
    scene.sphereCenter.y = BounceHeight(t);
    scene.sphereCenter.z = static_cast<float>(60.0 * std::sin(time * 0.0078125) + 45.0);
}

// Notes the phase decided for the frame about to be made.
void RecordPhase(ShowPhase phase) {
    showRecord.phase = phase;
    showRecord.clock = ReadClock();
    showRecord.lightTurns = lightTurns;
}

// Turns light 1 by +0.1 radian about the z axis, from +x towards +y; both new coordinates come
// from the old ones.
void TurnLight() {
    static const double c = std::cos(kLightTurn);
    static const double s = std::sin(kLightTurn);
    Vector& position = scene.lights[1].position;
    const double x = position.x;
    const double y = position.y;
    position.x = static_cast<float>(x * c - y * s);
    position.y = static_cast<float>(x * s + y * c);
    ++lightTurns;
}

void Dim(Color& color) {
    color.r = static_cast<float>(static_cast<double>(color.r) * kFadeFactor);
    color.g = static_cast<float>(static_cast<double>(color.g) * kFadeFactor);
    color.b = static_cast<float>(static_cast<double>(color.b) * kFadeFactor);
}

// The locked back surface as the renderer takes it. DWORD is a 32-bit unsigned type everywhere,
// but on Windows it is `unsigned long`, a different type from uint32_t.
void RenderLockedFrame() {
    RenderFrame(reinterpret_cast<uint32_t*>(appState.frameBits), appState.framePitch);
}

int OpeningFrame() {
    if (!DrawOpeningTitle()) {
        return 0;
    }
    return PresentFrame();
}

int MainFrame() {
    PlaceSphere(ReadClock());
    if (!LockFrame()) {
        return 0;
    }
    RenderLockedFrame();
    TurnLight();
    if (!UnlockFrame()) {
        return 0;
    }
    if (ReadClock() < kTitleLength && !DrawTitle()) {
        return 0;
    }
    const DWORD caption = ReadClock() >> kCaptionShift;
    if (caption < kCaptionCount && captionTable[caption] != nullptr &&
        !DrawCaption(static_cast<int>(caption))) {
        return 0;
    }
    if (!PresentFrame()) {
        return 0;
    }
    lastMainTick = ReadClock();
    return 1;
}

// A frame of the end phase: the sphere keeps bouncing where the main phase left it; the fade
// dims ambient and both lights, the hold does not.
int EndFrame(bool fade) {
    if (fade && scene.lights[0].color.b <= kEndThreshold) {
        return 0; // the show's normal end
    }
    scene.sphereCenter.y = BounceHeight(ReadClock());
    if (!LockFrame()) {
        return 0;
    }
    RenderLockedFrame();
    if (fade) {
        Dim(scene.ambient);
        Dim(scene.lights[0].color);
        Dim(scene.lights[1].color);
    }
    TurnLight();
    if (!UnlockFrame()) {
        return 0;
    }
    return PresentFrame();
}

} // namespace

int ShowFrame() {
    if (ReadClock() < kOpeningLength) {
        RecordPhase(kPhaseOpening);
        return OpeningFrame();
    }
    if (ReadClock() < kMainLength || scene.sphereCenter.z < kFarThreshold) {
        RecordPhase(kPhaseMain);
        return MainFrame();
    }
    // Unsigned difference, so a clock that wrapped still measures the right distance.
    const bool fade = ReadClock() - lastMainTick <= kFadeWindow;
    RecordPhase(fade ? kPhaseFade : kPhaseHold);
    return EndFrame(fade);
}
