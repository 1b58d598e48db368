// The study mode over a backend's pump and presentation: keys, pause, seeks, overlays, stills.
#include "study_mode.h"

#include "midas_playback.h"
#include "show_observation.h"
#include "study_keys.h"
#include "study_picture.h"
#include "study_replay.h"
#include "study_show.h"
#include "study_timeline.h"

#include <ddraw.h>
#include <midasdll.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <future>
#include <vector>

namespace platform {

namespace {

using Clock = std::chrono::steady_clock;

struct Study {
    // The backend's own.
    EventPump pump;
    HRESULT (*show)(const std::uint32_t*, int, int, int) = nullptr;
    HRESULT (*waitForRefresh)() = nullptr;
    StudySettings settings;

    // The capture's frames, worked out on a thread of their own from the start.
    std::shared_future<bool> timelineReady;
    StudyTimeline timeline;
    ShowSectionList sections;
    std::string timelineError;

    bool paused = false;
    bool musicHeld = false;
    int pendingFrames = 0; // frames the show makes before a pause holds it again
    bool unseen = false;   // the frame being made is not shown (a seek's preparation)
    std::uint32_t unseenClock = 0;

    // The frame on screen.
    std::int64_t frame = -1;
    std::int64_t nextFrame = -1; // a seek's frame, for the next picture
    std::uint32_t clock = 0;
    Phase phase = Phase::opening;
    MusicRow row;
    StudyShowState frameState; // the scene the picture was traced from (for the reference)
    StudyShowState pollState;  // the scene before the frame being made
    StudyShowState seekState;  // the scene a seek set for its frame
    StudyPicture clean;
    StudyPicture reference;
    bool havePicture = false;

    bool info = false;
    bool grid = false;
    bool showReference = false;
    bool help = false;

    Clock::time_point frameStart;
    Clock::time_point renderEnd;
    Clock::time_point lastPicture;
    double renderMilliseconds = 0.0;
    double framesPerSecond = 0.0;

    std::vector<WPARAM> keys;
};

Study study;

// Whether the timeline is there; `wait`: waits for it (a seek), else only a finished one counts
// (the bar, drawn with every picture). One put off until asked for (the web page's, without
// threads) is made at the first asking either way.
bool TimelineReady(bool wait = true) {
    if (!study.timelineReady.valid()) {
        return false;
    }
    if (!wait &&
        study.timelineReady.wait_for(std::chrono::seconds(0)) == std::future_status::timeout) {
        return false;
    }
    return study.timelineReady.get();
}

void DrawLines(StudyPicture& picture, int x, int y, const std::vector<std::string>& lines) {
    if (study.settings.drawText != nullptr) {
        study.settings.drawText(picture, x, y, lines);
    }
}

void Report(const std::string& line) {
    if (study.settings.report != nullptr) {
        study.settings.report(line);
    } else {
        std::fputs(line.c_str(), stdout);
        std::fflush(stdout);
    }
}

void HoldMusic() {
    if (!study.musicHeld) {
        MIDASsuspend();
        study.musicHeld = true;
    }
}

void ReleaseMusic() {
    if (study.musicHeld) {
        MIDASresume();
        study.musicHeld = false;
    }
}

// The file name of frame n's still: still-NNNNNN.png.
std::string StillName(std::int64_t frame) {
    char name[32];
    std::snprintf(name, sizeof(name), "still-%06lld.png", static_cast<long long>(frame));
    return name;
}

std::vector<std::string> SplitLines(const char* text) {
    std::vector<std::string> lines(1);
    for (const char* c = text; *c != '\0'; ++c) {
        if (*c == '\n') {
            lines.emplace_back();
        } else {
            lines.back() += *c;
        }
    }
    if (lines.back().empty()) {
        lines.pop_back();
    }
    return lines;
}

std::vector<std::string> InfoLines() {
    char pace[32] = "paused";
    if (!study.paused) {
        std::snprintf(pace, sizeof(pace), "%.1f fps", study.framesPerSecond);
    }
    char text[256];
    std::snprintf(text, sizeof(text),
                  "sync %u  %s\nframe %lld  %s\nrender %.2f ms\norder %d  row %d\n", study.clock,
                  PhaseName(study.phase), static_cast<long long>(study.frame), pace,
                  study.renderMilliseconds, study.row.order, study.row.row);
    return SplitLines(text);
}

HRESULT Present() {
    if (!study.havePicture || study.show == nullptr) {
        return DD_OK;
    }
    StudyPicture shown;
    if (study.grid) {
        EnlargeGrid(TracedGrid(), shown);
    } else if (study.showReference && !study.reference.empty()) {
        shown = study.reference;
    } else {
        shown = study.clean;
    }
    if (TimelineReady(false)) {
        DrawTimeline(shown, study.sections.starts, study.sections.lastFrame, study.frame);
    }
    // The figures low on the left, under the captions; the keys on the right, over the figures.
    if (study.info && !study.help) {
        DrawLines(shown, 4, kStudyHeight - 72, InfoLines());
    }
    if (study.help) {
        DrawLines(shown, kStudyWidth - 184, 4, SplitLines(StudyKeysText()));
    } else if (study.paused && !study.info) {
        DrawLines(shown, kStudyWidth - 54, kStudyHeight - 24, {"paused"});
    }
    return study.show(shown.data(), kStudyWidth, kStudyHeight, kStudyWidth * 4);
}

void UpdateReference() {
    if (study.showReference) {
        study.reference.assign(kStudyWidth * kStudyHeight, 0);
        TraceReference(study.frameState, study.reference.data());
    }
}

// The show made ready to draw frame n as the capture drew it.
void Seek(std::int64_t frame) {
    if (!TimelineReady()) {
        if (!study.timelineError.empty()) {
            Report("zarvo: the study mode cannot seek: " + study.timelineError + "\n");
            study.timelineError.clear();
        }
        return;
    }
    if (!ShowSceneReady()) {
        return;
    }
    const StudyTimeline& timeline = study.timeline;
    frame = std::clamp<std::int64_t>(frame, 0, study.sections.lastFrame);
    HoldMusic();
    bool ended = false;
    const Phase phase = PhaseOfFrame(timeline, frame, ended);
    if (phase == Phase::fade || phase == Phase::hold) {
        // The show measures its fade from the count after its last main frame, which only a
        // main frame of its own sets: that frame is made again, unseen.
        std::int64_t lastMain = frame;
        bool over = false;
        while (lastMain > 0 && PhaseOfFrame(timeline, lastMain, over) != Phase::main) {
            --lastMain;
        }
        SetShowState(ReplayTo(timeline, lastMain), timeline.clocks[lastMain]);
        study.unseen = true;
        study.unseenClock = timeline.clocks[lastMain + 1];
        RunShowFrame();
        study.unseen = false;
    }
    if (phase == Phase::opening) {
        ClearPicture();
    }
    study.seekState = ReplayTo(timeline, frame);
    SetShowState(study.seekState, timeline.clocks[frame]);
    const MusicRow& row = timeline.rows[frame];
    if (row.order >= 0) {
        MoveMusicTo(row.order, row.row);
    }
    study.nextFrame = frame;
    study.pendingFrames = 1;
    if (!study.paused) {
        ReleaseMusic();
    }
}

void WriteStill() {
    if (!study.havePicture || study.settings.writeStill == nullptr) {
        return;
    }
    const std::string name = StillName(study.frame);
    char line[160];
    std::snprintf(line, sizeof(line), "%s: sync count %u, frame %lld\n", name.c_str(), study.clock,
                  static_cast<long long>(study.frame));
    std::string error;
    if (!study.settings.writeStill(study.settings.stillFolder + "/" + name, line,
                                   study.clean.data(), error)) {
        Report("zarvo: the still could not be written (" + error + ")\n");
        return;
    }
    Report(line);
}

void Act(StudyAction action) {
    switch (action) {
    case StudyAction::pause:
        study.paused = !study.paused;
        if (study.paused) {
            HoldMusic();
        } else {
            ReleaseMusic();
        }
        break;
    case StudyAction::stepForward:
    case StudyAction::stepBack:
        if (study.paused) {
            Seek(study.frame + (action == StudyAction::stepForward ? 1 : -1));
        }
        break;
    case StudyAction::nextSection:
        if (TimelineReady()) {
            Seek(NextSection(study.sections, study.frame));
        }
        break;
    case StudyAction::previousSection:
        if (TimelineReady()) {
            Seek(PreviousSection(study.sections, study.frame));
        }
        break;
    case StudyAction::restart:
        Seek(0);
        break;
    case StudyAction::info:
        study.info = !study.info;
        break;
    case StudyAction::grid:
        study.grid = !study.grid;
        break;
    case StudyAction::reference:
        study.showReference = !study.showReference;
        UpdateReference();
        break;
    case StudyAction::still:
        WriteStill();
        break;
    case StudyAction::help:
        study.help = !study.help;
        break;
    case StudyAction::none:
        break;
    }
}

// Takes the study's keys out of the queue and acts on them; true when other messages wait.
bool SiftKeys() {
    const bool others = study.settings.siftKeys != nullptr && study.settings.siftKeys();
    std::vector<WPARAM> keys;
    keys.swap(study.keys);
    for (const WPARAM key : keys) {
        Act(StudyActionForKey(key));
    }
    if (!keys.empty() && study.pendingFrames == 0) {
        Present();
    }
    return others;
}

void StudyPoll() {
    if (study.pump.poll != nullptr) {
        study.pump.poll();
    }
    bool others = SiftKeys();
    while (study.paused && study.pendingFrames == 0 && !others && study.pump.wait != nullptr) {
        HoldMusic();
        study.pump.wait();
        if (study.pump.poll != nullptr) {
            study.pump.poll();
        }
        others = SiftKeys();
    }
    if (others && study.paused) {
        // The intro handles what waits, and may resume the music on the way: held again on the
        // way back.
        study.musicHeld = false;
    }
    study.frameStart = Clock::now();
    study.pollState = ReadShowState();
}

HRESULT StudyWaitForRefresh() {
    if (study.unseen) {
        return DD_OK;
    }
    study.renderEnd = Clock::now();
    return study.waitForRefresh != nullptr ? study.waitForRefresh() : DD_OK;
}

std::int64_t LiveFrame(std::uint32_t clock) {
    if (!TimelineReady(false)) {
        return study.frame + 1;
    }
    const std::int64_t first = TimelineFrameAt(study.timeline, clock);
    if (clock == study.clock && study.frame >= first) {
        return std::min(study.frame + 1, TimelineFrameAt(study.timeline, clock + 1) - 1);
    }
    return first;
}

HRESULT StudyShowPicture(const std::uint32_t* pixels, int width, int height, int pitchBytes) {
    if (study.unseen) {
        // What the capture's show reads after this frame: the count of the next one.
        SetShowClock(study.unseenClock);
        return DD_OK;
    }
    if (width != kStudyWidth || height != kStudyHeight || study.show == nullptr) {
        return study.show != nullptr ? study.show(pixels, width, height, pitchBytes) : DD_OK;
    }
    study.clean.resize(kStudyWidth * kStudyHeight);
    for (int y = 0; y < height; ++y) {
        const auto* row =
            reinterpret_cast<const std::uint32_t*>(reinterpret_cast<const unsigned char*>(pixels) +
                                                   static_cast<std::ptrdiff_t>(y) * pitchBytes);
        std::copy(row, row + width, study.clean.begin() + y * kStudyWidth);
    }
    study.havePicture = true;
    const Clock::time_point now = Clock::now();
    study.renderMilliseconds =
        std::chrono::duration<double, std::milli>(study.renderEnd - study.frameStart).count();
    const double interval = std::chrono::duration<double>(now - study.lastPicture).count();
    if (interval > 0.0 && interval < 1.0) {
        const double fps = 1.0 / interval;
        study.framesPerSecond =
            study.framesPerSecond == 0.0 ? fps : study.framesPerSecond * 0.9 + fps * 0.1;
    }
    study.lastPicture = now;

    const ShowObservation seen = ObserveShow();
    if (study.nextFrame >= 0) {
        study.frame = study.nextFrame;
        study.nextFrame = -1;
        study.frameState = DrawnState(study.seekState, seen.clock);
    } else {
        study.frame = LiveFrame(seen.clock);
        study.frameState = DrawnState(study.pollState, seen.clock);
    }
    study.clock = seen.clock;
    study.phase = seen.phase;
    study.row = PlayingRow();
    if (study.pendingFrames > 0) {
        --study.pendingFrames;
    }
    UpdateReference();
    return Present();
}

bool BuildTimeline() {
    const bool built = BuildStudyTimeline("Zarvo.xm", kStudyFramesPerSecond, kStudySampleRate,
                                          study.timeline, study.timelineError);
    if (built) {
        study.sections = ShowSections(study.timeline);
    }
    return built && study.timeline.Frames() > 1;
}

} // namespace

bool StudyTakeKey(const MSG& msg) {
    if (msg.message != WM_KEYDOWN || StudyActionForKey(msg.wParam) == StudyAction::none) {
        return false;
    }
    study.keys.push_back(msg.wParam);
    return true;
}

void StudyMusicTouched() {
    study.musicHeld = false;
}

void EnableStudy(Backend& backend, const StudySettings& settings) {
    study.settings = settings;
    study.pump = backend.win32.events;
    study.show = backend.ddraw.showPicture;
    study.waitForRefresh = backend.ddraw.waitForRefresh;
    backend.win32.events.poll = StudyPoll;
    backend.ddraw.showPicture = StudyShowPicture;
    backend.ddraw.waitForRefresh = StudyWaitForRefresh;
#ifdef __EMSCRIPTEN__
    study.timelineReady = std::async(std::launch::deferred, BuildTimeline).share();
#else
    study.timelineReady = std::async(std::launch::async, BuildTimeline).share();
#endif
}

void AppendStillLine(const std::string& stillPath, const std::string& line) {
    const std::string list = stillPath.substr(0, stillPath.find_last_of("/\\") + 1) + "stills.txt";
    if (std::FILE* file = std::fopen(list.c_str(), "a")) {
        std::fputs(line.c_str(), file);
        std::fclose(file);
    }
}

} // namespace platform
