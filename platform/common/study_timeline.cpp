// The capture's frames in virtual time: the module played silently, one frame's span at a time.
#include "study_timeline.h"

#include "module_player.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace platform {

static void CountSync(void* user, unsigned, unsigned, unsigned) {
    ++*static_cast<std::uint32_t*>(user);
}

// Where frame n ends, exact in integers, as the capture cuts its sound.
static std::int64_t FrameEnd(std::int64_t frame, int framesPerSecond, int sampleRate) {
    return (frame + 1) * sampleRate / framesPerSecond;
}

bool BuildStudyTimeline(const char* moduleFile, int framesPerSecond, int sampleRate,
                        StudyTimeline& timeline, std::string& error) {
    timeline = StudyTimeline{};
    timeline.framesPerSecond = framesPerSecond;
    timeline.sampleRate = sampleRate;
    ModulePlayer player;
    if (!player.Load(moduleFile, error)) {
        return false;
    }
    std::uint32_t clock = 0;
    player.SetSyncSink(CountSync, &clock);
    player.Start(true);
    const auto songFrames = static_cast<std::int64_t>(player.SongSeconds() * sampleRate);
    std::vector<std::int16_t> sound;
    for (std::int64_t frame = 0; FrameEnd(frame - 1, framesPerSecond, sampleRate) < songFrames;
         ++frame) {
        timeline.clocks.push_back(clock);
        const ModulePlayer::Row row = player.Position();
        timeline.rows.push_back({row.order, row.row});
        const std::int64_t span = FrameEnd(frame, framesPerSecond, sampleRate) -
                                  FrameEnd(frame - 1, framesPerSecond, sampleRate);
        sound.resize(static_cast<std::size_t>(span) * 2);
        player.Render(sound.data(), static_cast<std::size_t>(span), sampleRate);
    }
    return true;
}

std::int64_t TimelineFrameAt(const StudyTimeline& timeline, std::uint32_t clock) {
    const auto at = std::lower_bound(timeline.clocks.begin(), timeline.clocks.end(), clock);
    return static_cast<std::int64_t>(at - timeline.clocks.begin());
}

} // namespace platform
