// The show's rules replayed on a copy of its scene, in the show's own arithmetic.
#include "study_replay.h"

#include "raytrace/scene.h"
#include "show/overlays.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace platform {

namespace {

// The show's timetable (show/show_frame.cpp): replayed here, checked against the capture by
// the study's tests.
constexpr std::uint32_t kOpeningLength = 3;
constexpr int kCaptionShift = 7;
constexpr std::uint32_t kMainLength =
    static_cast<std::uint32_t>(sizeof(captionTable) / sizeof(captionTable[0]) << kCaptionShift);
constexpr float kFarThreshold = 103.0f;
constexpr std::uint32_t kFadeWindow = 64;
constexpr float kFadeFactor = 0.8f;
constexpr float kEndThreshold = 0.1f;
constexpr double kLightTurn = 0.1;
constexpr float kPiOver32 = 0.09817477f;
constexpr float kPiOver2 = 1.5707964f;

float BounceHeight(std::uint32_t t) {
    return static_cast<float>(20.0 *
                              std::fabs(std::sin(static_cast<double>(t) * kPiOver32 + kPiOver2)));
}

void TurnLight(StudyShowState& state) {
    static const double c = std::cos(kLightTurn);
    static const double s = std::sin(kLightTurn);
    const double x = state.light1.x;
    const double y = state.light1.y;
    state.light1.x = static_cast<float>(x * c - y * s);
    state.light1.y = static_cast<float>(x * s + y * c);
    ++state.lightTurns;
}

void Dim(StudyRgb& color) {
    color.r = static_cast<float>(static_cast<double>(color.r) * kFadeFactor);
    color.g = static_cast<float>(static_cast<double>(color.g) * kFadeFactor);
    color.b = static_cast<float>(static_cast<double>(color.b) * kFadeFactor);
}

StudyRgb Rgb(const Color& c) {
    return {c.r, c.g, c.b};
}

StudyPoint Point(const Vector& v) {
    return {v.x, v.y, v.z};
}

} // namespace

StudyShowState InitialShowState() {
    // InitScene writes the global scene: it is put back as it was.
    const Scene saved = scene;
    InitScene();
    StudyShowState state;
    state.sphere = Point(scene.sphereCenter);
    state.ambient = Rgb(scene.ambient);
    if (scene.lights != nullptr) {
        state.lightColor[0] = Rgb(scene.lights[0].color);
        state.lightColor[1] = Rgb(scene.lights[1].color);
        state.light1 = Point(scene.lights[1].position);
        std::free(scene.lights);
    }
    scene = saved;
    return state;
}

Phase ReplayFrame(StudyShowState& state, std::uint32_t clock, std::uint32_t nextClock) {
    if (state.ended) {
        return Phase::hold;
    }
    if (clock < kOpeningLength) {
        return Phase::opening;
    }
    if (clock < kMainLength || state.sphere.z < kFarThreshold) {
        const double time = static_cast<double>(clock);
        state.sphere.x = static_cast<float>(30.0 * std::sin(time * 0.015625));
        state.sphere.y = BounceHeight(clock);
        state.sphere.z = static_cast<float>(60.0 * std::sin(time * 0.0078125) + 45.0);
        TurnLight(state);
        // Read after the frame is shown, when its W commands have reached the show.
        state.lastMainTick = nextClock;
        return Phase::main;
    }
    const bool fade = clock - state.lastMainTick <= kFadeWindow;
    if (fade && state.lightColor[0].b <= kEndThreshold) {
        state.ended = true;
        return Phase::hold;
    }
    state.sphere.y = BounceHeight(clock);
    if (fade) {
        Dim(state.ambient);
        Dim(state.lightColor[0]);
        Dim(state.lightColor[1]);
    }
    TurnLight(state);
    return fade ? Phase::fade : Phase::hold;
}

StudyShowState DrawnState(const StudyShowState& state, std::uint32_t clock) {
    // The frame places the sphere before it renders, and changes the rest after.
    StudyShowState after = state;
    ReplayFrame(after, clock, clock);
    StudyShowState drawn = state;
    drawn.sphere = after.sphere;
    return drawn;
}

StudyShowState ReplayTo(const StudyTimeline& timeline, std::int64_t frame) {
    StudyShowState state = InitialShowState();
    for (std::int64_t n = 0; n < frame && n + 1 < timeline.Frames(); ++n) {
        ReplayFrame(state, timeline.clocks[n], timeline.clocks[n + 1]);
    }
    return state;
}

Phase PhaseOfFrame(const StudyTimeline& timeline, std::int64_t frame, bool& ended) {
    StudyShowState state = ReplayTo(timeline, frame);
    const std::int64_t next = frame + 1 < timeline.Frames() ? frame + 1 : frame;
    const Phase phase = ReplayFrame(state, timeline.clocks[frame], timeline.clocks[next]);
    ended = state.ended;
    return phase;
}

ShowSectionList ShowSections(const StudyTimeline& timeline) {
    ShowSectionList sections;
    if (timeline.Frames() == 0) {
        sections.starts.push_back(0);
        return sections;
    }
    sections.starts.push_back(0);
    for (std::uint32_t i = 0; i < sizeof(captionTable) / sizeof(captionTable[0]); ++i) {
        const std::uint32_t first = std::max(i << kCaptionShift, kOpeningLength);
        const std::int64_t frame = TimelineFrameAt(timeline, first);
        if (captionTable[i] != nullptr && first < kMainLength && frame < timeline.Frames()) {
            sections.starts.push_back(frame);
        }
    }
    StudyShowState state = InitialShowState();
    std::int64_t lastMain = -1;
    std::int64_t firstFade = -1;
    std::int64_t n = 0;
    for (; n + 1 < timeline.Frames(); ++n) {
        const Phase phase = ReplayFrame(state, timeline.clocks[n], timeline.clocks[n + 1]);
        if (state.ended) {
            break;
        }
        if (phase == Phase::main) {
            lastMain = n;
        } else if (phase == Phase::fade && firstFade < 0) {
            firstFade = n;
        }
    }
    sections.lastFrame = state.ended ? n - 1 : n;
    for (const std::int64_t frame : {lastMain, firstFade}) {
        if (frame > sections.starts.back()) {
            sections.starts.push_back(frame);
        }
    }
    return sections;
}

} // namespace platform
