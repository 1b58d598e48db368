// The module player: loading through libopenmpt, chunked rendering and W-command row detection.
#include "module_player.h"

#include "module_file.h"

#include <libopenmpt/libopenmpt.hpp>

#include <algorithm>
#include <map>
#include <ostream>
#include <vector>

namespace platform {

// libopenmpt writes warnings to a log stream; the player keeps them quiet.
static std::ostream& QuietLog() {
    static std::ostream quiet(nullptr);
    return quiet;
}

ModulePlayer::ModulePlayer() = default;
ModulePlayer::~ModulePlayer() = default;

bool ModulePlayer::Load(const char* fileName, std::string& error) {
    Unload();
    if (fileName == nullptr || fileName[0] == '\0') {
        error = "Unable to open file: no file name";
        return false;
    }
    std::vector<std::uint8_t> file;
    if (!ReadModuleFile(fileName, file, error)) {
        return false;
    }
    // libopenmpt reports a module it cannot parse, and memory it cannot get, as exceptions.
    try {
        // The song is always played from its start: working out every subsong's length, which
        // takes libopenmpt a pass through the whole song, is of no use here.
        const std::map<std::string, std::string> settings{{"load.skip_subsongs_init", "1"}};
        module_ = std::make_unique<openmpt::module>(file, QuietLog(), settings);
        if (module_->get_num_orders() <= 0 || module_->get_num_channels() <= 0) {
            error = "Invalid module file " + ModuleFileLabel(fileName) + ": it holds no song";
            module_.reset();
            return false;
        }
        // No dither on the 16-bit output: its noise is random, and the same module must always
        // render the same samples (a capture made twice is byte-identical).
        module_->ctl_set_integer("dither", 0);
    } catch (const std::exception& failure) {
        module_.reset();
        error = "Invalid module file " + ModuleFileLabel(fileName) + ": " + failure.what();
        return false;
    }
    return true;
}

void ModulePlayer::Unload() {
    Stop();
    module_.reset();
    songSeconds_ = -1.0;
}

bool ModulePlayer::IsLoaded() const {
    return module_ != nullptr;
}

double ModulePlayer::SongSeconds() const {
    if (!module_) {
        return 0.0;
    }
    if (songSeconds_ < 0.0) {
        songSeconds_ = module_->get_duration_seconds();
    }
    return songSeconds_;
}

void ModulePlayer::Start(bool loopSong) {
    if (!module_) {
        return;
    }
    module_->set_repeat_count(loopSong ? -1 : 0);
    // A song that does not loop ends at its last row, without the tail libopenmpt would
    // otherwise render from the first row while notes fade.
    try {
        module_->ctl_set_text("play.at_end", loopSong ? "continue" : "stop");
    } catch (const std::exception&) {
        // An older libopenmpt without the setting renders the tail; the song still ends.
    }
    module_->set_position_order_row(0, 0);
    playing_ = true;
    ended_ = false;
    stopping_ = paused_ = held_ = false;
    gain_.Set(1.0);
    haveRow_ = false;
    order_ = pattern_ = row_ = -1;
    framesRendered_ = 0;
    rowStart_ = 0;
}

// Takes the level towards zero; a player that has not sounded yet has nothing to ramp.
void ModulePlayer::RampDown() {
    if (framesRendered_ == 0) {
        gain_.Set(0.0);
    }
    gain_.MoveTo(0.0);
}

void ModulePlayer::Stop() {
    if (!playing_ || stopping_) {
        return;
    }
    stopping_ = true;
    RampDown();
    if (held_ || ended_ || gain_.Level() == 0.0) {
        playing_ = false;
        stopping_ = false;
    }
}

bool ModulePlayer::IsPlaying() const {
    return playing_ && !ended_ && !stopping_;
}

void ModulePlayer::Pause() {
    if (!playing_ || paused_) {
        return;
    }
    paused_ = true;
    RampDown();
    held_ = gain_.Level() == 0.0;
}

void ModulePlayer::Resume() {
    if (!paused_) {
        return;
    }
    paused_ = false;
    held_ = false;
    if (!stopping_) {
        gain_.MoveTo(1.0);
    }
}

bool ModulePlayer::IsSilent() const {
    return !module_ || !playing_ || ended_ || held_;
}

void ModulePlayer::SetSyncSink(SyncSink sink, void* user) {
    sink_ = sink;
    sinkUser_ = user;
}

// Called when a row has begun (in the chunk just rendered): reports its W cells and works out
// how long the row will last.
void ModulePlayer::BeginRow(int order, int pattern, int row, int sampleRate) {
    haveRow_ = true;
    order_ = order;
    pattern_ = pattern;
    row_ = row;
    rowStart_ = framesRendered_ - 1;

    const int speed = std::max(1, static_cast<int>(module_->get_current_speed()));
    const int tempo = std::max(1, static_cast<int>(module_->get_current_tempo()));
    tickFrames_ = sampleRate * 2.5 / tempo;
    int delay = 0;
    const int channels = module_->get_num_channels();
    const bool validRow = pattern >= 0 && pattern < module_->get_num_patterns() && row >= 0 &&
                          row < module_->get_pattern_num_rows(pattern);
    for (int channel = 0; validRow && channel < channels; ++channel) {
        const std::string effect = module_->format_pattern_row_channel_command(
            pattern, row, channel, openmpt::module::command_effect);
        const unsigned parameter = module_->get_pattern_row_channel_command(
            pattern, row, channel, openmpt::module::command_parameter);
        if (effect == "W") {
            // A stopping player's rows are only the tail of its sound: nothing is played on.
            if (sink_ != nullptr && !stopping_) {
                sink_(sinkUser_, parameter, static_cast<unsigned>(order),
                      static_cast<unsigned>(row));
            }
        } else if (effect == "E" && (parameter >> 4) == 0xE) {
            delay = std::max(delay, static_cast<int>(parameter & 0x0F));
        }
    }
    rowFrames_ = tickFrames_ * speed * (1 + delay);
}

void ModulePlayer::MoveTo(int order, int row, int sampleRate) {
    if (!module_ || !playing_) {
        return;
    }
    module_->set_position_order_row(order, row);
    ended_ = false;
    // The row counts as begun here, without a report: whoever moves the song has counted it.
    const SyncSink sink = sink_;
    sink_ = nullptr;
    BeginRow(module_->get_current_order(), module_->get_current_pattern(),
             module_->get_current_row(), sampleRate);
    sink_ = sink;
}

std::size_t ModulePlayer::Render(std::int16_t* out, std::size_t frames, int sampleRate) {
    std::size_t music = 0;
    std::size_t done = 0;
    try {
        RenderChunks(out, frames, sampleRate, done, music);
    } catch (const std::exception&) {
        // Rendering runs on the sound thread, where nothing may escape: the song ends here.
        ended_ = true;
    }
    std::fill(out + done * 2, out + frames * 2, static_cast<std::int16_t>(0));
    return music;
}

void ModulePlayer::RenderChunks(std::int16_t* out, std::size_t frames, int sampleRate,
                                std::size_t& done, std::size_t& music) {
    while (done < frames && playing_ && !ended_ && !held_ && module_) {
        std::size_t want = std::min(kChunkFrames, frames - done);
        const bool fading = gain_.Target() == 0.0;
        if (fading) {
            // A ramp down renders no further than its end, so that a pause loses no music.
            want = std::min(want, std::max<std::size_t>(1, gain_.FramesToTarget(sampleRate)));
        }
        const std::size_t got = module_->read_interleaved_stereo(sampleRate, want, out + done * 2);
        if (got == 0) {
            ended_ = true;
            break;
        }
        gain_.Apply(out + done * 2, got, sampleRate);
        done += got;
        music += got;
        framesRendered_ += static_cast<std::int64_t>(got);
        if (got < want) {
            // The song ended inside this chunk; libopenmpt has already gone back to the start,
            // which is not a row being played.
            ended_ = true;
            break;
        }
        const int order = module_->get_current_order();
        const int pattern = module_->get_current_pattern();
        const int row = module_->get_current_row();
        if (!haveRow_ || order != order_ || pattern != pattern_ || row != row_) {
            BeginRow(order, pattern, row, sampleRate);
        } else if (static_cast<double>(framesRendered_ - rowStart_) >=
                   rowFrames_ + tickFrames_ / 2) {
            // Same position for a whole row and half a tick: the row is being played again.
            // Its start follows from the last one, so the estimate does not drift.
            const auto start = rowStart_ + static_cast<std::int64_t>(rowFrames_ + 0.5);
            BeginRow(order, pattern, row, sampleRate);
            rowStart_ = std::min(rowStart_, start);
        }
        if (fading && gain_.Level() == 0.0) {
            if (stopping_) {
                playing_ = false;
                stopping_ = false;
            } else {
                held_ = true;
            }
        }
    }
}

} // namespace platform
