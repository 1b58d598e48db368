// The module player: load errors name the file, every played row reports its W commands at any
// tempo and on every replay, rendering always fills the buffer, and stopping or pausing never
// cuts the sound.
#include "module_player.h"
#include "sound_ramp.h"
#include "xm_writer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kRate = 48000;

struct Sync {
    unsigned info;
    unsigned order;
    unsigned row;
};

void Collect(void* user, unsigned info, unsigned order, unsigned row) {
    static_cast<std::vector<Sync>*>(user)->push_back({info, order, row});
}

class ModulePlayerTest : public ::testing::Test {
  protected:
    std::string TempPath(const char* name) {
        std::string path = ::testing::TempDir() + "zarvo_" + std::to_string(getpid()) + "_" + name;
        files.push_back(path);
        return path;
    }
    void TearDown() override {
        for (const std::string& file : files) {
            std::remove(file.c_str());
        }
    }
    // Loads a song and starts it with the sync collector.
    void Play(const xmtest::Song& song, bool loop) {
        const std::string path = TempPath("song.xm");
        ASSERT_TRUE(xmtest::WriteXm(song, path));
        std::string error;
        ASSERT_TRUE(player.Load(path.c_str(), error)) << error;
        player.SetSyncSink(Collect, &syncs);
        player.Start(loop);
    }
    // Renders `frames` frames in pieces of `piece`; returns the music frames.
    std::size_t Render(std::size_t frames, std::size_t piece) {
        std::vector<std::int16_t> buffer(piece * 2);
        std::size_t music = 0;
        for (std::size_t done = 0; done < frames; done += piece) {
            const std::size_t n = std::min(piece, frames - done);
            music += player.Render(buffer.data(), n, kRate);
        }
        return music;
    }
    std::vector<unsigned> Rows() const {
        std::vector<unsigned> rows;
        for (const Sync& sync : syncs) {
            rows.push_back(sync.row);
        }
        return rows;
    }

    platform::ModulePlayer player;
    std::vector<Sync> syncs;
    std::vector<std::string> files;
};

xmtest::Song SyncEveryRow(int rows, int speed, int bpm) {
    xmtest::Song song;
    song.speed = speed;
    song.bpm = bpm;
    std::vector<int> all;
    for (int row = 0; row < rows; ++row) {
        all.push_back(row);
    }
    song.patterns.push_back(xmtest::PatternWithSyncs(rows, all));
    return song;
}

std::vector<unsigned> Sequence(unsigned from, unsigned to) {
    std::vector<unsigned> rows;
    for (unsigned row = from; row <= to; ++row) {
        rows.push_back(row);
    }
    return rows;
}

TEST_F(ModulePlayerTest, LoadErrorsNameTheFile) {
    std::string error;
    EXPECT_FALSE(player.Load("no-such-dir/Zarvo.xm", error));
    EXPECT_NE(error.find("'no-such-dir/Zarvo.xm'"), std::string::npos) << error;
    EXPECT_NE(error.find("No such file"), std::string::npos) << error;

    const std::string empty = TempPath("empty.xm");
    std::ofstream(empty).close();
    EXPECT_FALSE(player.Load(empty.c_str(), error));
    EXPECT_NE(error.find(empty), std::string::npos) << error;

    const std::string garbage = TempPath("garbage.xm");
    std::ofstream(garbage) << "this is not a module at all, just some text";
    EXPECT_FALSE(player.Load(garbage.c_str(), error));
    EXPECT_NE(error.find("Invalid module file '" + garbage + "'"), std::string::npos) << error;

    EXPECT_FALSE(player.Load(::testing::TempDir().c_str(), error)) << "a directory";
    EXPECT_FALSE(player.IsLoaded());
}

TEST_F(ModulePlayerTest, ReportsEveryRowAtTheFastestTempo) {
    // Speed 1 at 255 BPM: a row lasts 470 frames, the shortest XM allows.
    Play(SyncEveryRow(32, 1, 255), false);
    Render(200000, 1000);
    EXPECT_EQ(Rows(), Sequence(0, 31));
    ASSERT_EQ(syncs.size(), 32u);
    EXPECT_EQ(syncs[5].info, 5u) << "the W parameter is passed on";
    EXPECT_EQ(syncs[5].order, 0u);
}

TEST_F(ModulePlayerTest, ReportsEveryRowAtTheSlowestTempoAndInTinyPieces) {
    // Speed 31 at 32 BPM: 2.4 s per row.
    Play(SyncEveryRow(3, 31, 32), false);
    Render(3 * 116250 + 1000, 37);
    EXPECT_EQ(Rows(), Sequence(0, 2));
}

TEST_F(ModulePlayerTest, MovesToARowWithoutReportingItAgain) {
    // Speed 1 at 255 BPM: a row lasts 470 frames.
    Play(SyncEveryRow(32, 1, 255), false);
    Render(470 * 20 + 100, 64);
    ASSERT_GE(syncs.size(), 20u);
    // Back to row 5: it counts as begun (its W is not reported), and the song goes on from it.
    player.MoveTo(0, 5, kRate);
    EXPECT_EQ(player.Position().order, 0);
    EXPECT_EQ(player.Position().row, 5);
    syncs.clear();
    Render(470 * 40, 64);
    EXPECT_EQ(Rows(), Sequence(6, 31));
}

TEST_F(ModulePlayerTest, ReportsEveryWCellOfARow) {
    xmtest::Song song = SyncEveryRow(4, 3, 125);
    song.channels = 4;
    for (auto& row : song.patterns[0].cells) {
        row.resize(4);
    }
    song.patterns[0].cells[2][3].effect = xmtest::kEffectSync;
    song.patterns[0].cells[2][3].parameter = 0x77;
    Play(song, false);
    Render(100000, 512);
    ASSERT_EQ(syncs.size(), 5u);
    EXPECT_EQ(syncs[2].row, 2u);
    EXPECT_EQ(syncs[3].row, 2u);
    EXPECT_EQ(syncs[3].info, 0x77u);
}

TEST_F(ModulePlayerTest, RowsPlayedAgainByAPatternLoopReportAgain) {
    // E60 on row 2 and E62 on row 4: rows 2..4 are played three times.
    xmtest::Song song = SyncEveryRow(6, 2, 150);
    song.patterns[0].cells[2][0].effect = xmtest::kEffectExtended;
    song.patterns[0].cells[2][0].parameter = 0x60;
    song.patterns[0].cells[4][0].effect = xmtest::kEffectExtended;
    song.patterns[0].cells[4][0].parameter = 0x62;
    Play(song, false);
    Render(200000, 512);
    EXPECT_EQ(Rows(), (std::vector<unsigned>{0, 1, 2, 3, 4, 2, 3, 4, 2, 3, 4, 5}));
}

TEST_F(ModulePlayerTest, APatternDelayLengthensTheRowWithoutPlayingItAgain) {
    // EE3 on row 1: the row lasts four times as long and is still one row.
    xmtest::Song song = SyncEveryRow(4, 2, 125);
    song.patterns[0].cells[1][0].effect = xmtest::kEffectExtended;
    song.patterns[0].cells[1][0].parameter = 0xE3;
    Play(song, false);
    EXPECT_EQ(Render(100000, 256), (3 + 4) * 2 * 960u);
    EXPECT_EQ(Rows(), Sequence(0, 3));
}

TEST_F(ModulePlayerTest, AOneRowSongLoopingForeverReportsEveryPass) {
    xmtest::Song song = SyncEveryRow(1, 6, 125); // 5760 frames per pass
    Play(song, true);
    Render(10 * 5760 - 100, 480);
    EXPECT_EQ(syncs.size(), 10u);
}

TEST_F(ModulePlayerTest, TheLoopingSongReportsEveryPassAndJumpsReportTheirTarget) {
    // Orders 0,1; pattern 1 jumps back to order 0 with B00 on its row 1.
    xmtest::Song song;
    song.speed = 6;
    song.bpm = 125;
    song.orders = {0, 1};
    song.patterns.push_back(xmtest::PatternWithSyncs(4, {0, 1, 2, 3}));
    song.patterns.push_back(xmtest::PatternWithSyncs(4, {0, 1, 2, 3}));
    song.patterns[1].cells[1][0].effect = xmtest::kEffectJump;
    song.patterns[1].cells[1][0].parameter = 0;
    Play(song, true);
    // One pass: 4 + 2 rows of 5760 frames. Two and a half passes, ending just before a row.
    Render(2 * 6 * 5760 + 3 * 5760 - 10, 700);
    std::vector<unsigned> orders;
    for (const Sync& sync : syncs) {
        orders.push_back(sync.order);
    }
    EXPECT_EQ(Rows(), (std::vector<unsigned>{0, 1, 2, 3, 0, 1, 0, 1, 2, 3, 0, 1, 0, 1, 2}));
    EXPECT_EQ(orders, (std::vector<unsigned>{0, 0, 0, 0, 1, 1, 0, 0, 0, 0, 1, 1, 0, 0, 0}));
}

TEST_F(ModulePlayerTest, FillsEveryFrameAndFallsSilentAfterTheSong) {
    Play(SyncEveryRow(2, 6, 125), false); // 11520 frames of music
    std::vector<std::int16_t> buffer(20000 * 2, 12345);
    const std::size_t music = player.Render(buffer.data(), 20000, kRate);
    EXPECT_EQ(music, 11520u);
    EXPECT_EQ(buffer.back(), 0) << "the rest is silence";
    bool heard = false;
    for (std::size_t i = 0; i < 11520 * 2; ++i) {
        heard = heard || buffer[i] != 0;
    }
    EXPECT_TRUE(heard) << "the square wave plays";
    EXPECT_FALSE(player.IsPlaying());
    std::fill(buffer.begin(), buffer.end(), 1);
    EXPECT_EQ(player.Render(buffer.data(), 100, kRate), 0u);
    EXPECT_EQ(buffer[0], 0);
}

TEST_F(ModulePlayerTest, TheSongLengthIsEachLoadedSongsOwn) {
    Play(SyncEveryRow(2, 6, 125), false);
    EXPECT_DOUBLE_EQ(player.SongSeconds() * kRate, 11520.0) << "as long as its music";
    Play(SyncEveryRow(8, 6, 125), false); // the length kept from the first song must go
    EXPECT_DOUBLE_EQ(player.SongSeconds() * kRate, 4 * 11520.0);
    player.Unload();
    EXPECT_EQ(player.SongSeconds(), 0.0);
}

TEST_F(ModulePlayerTest, StoppedOrEmptyPlayersRenderSilenceAndReportNothing) {
    std::vector<std::int16_t> buffer(512 * 2, 7);
    EXPECT_EQ(player.Render(buffer.data(), 512, kRate), 0u);
    EXPECT_EQ(buffer[0], 0);
    Play(SyncEveryRow(4, 6, 125), true);
    player.Stop();
    EXPECT_EQ(Render(50000, 512), 0u);
    EXPECT_TRUE(syncs.empty());
    player.Start(true); // starting again plays from the first row
    Render(5760, 512);
    EXPECT_EQ(Rows(), (std::vector<unsigned>{0}));
}

// Left channel of `frames` frames rendered in pieces of 100.
std::vector<int> RenderLeft(platform::ModulePlayer& player, std::size_t frames) {
    std::vector<std::int16_t> buffer(frames * 2);
    for (std::size_t done = 0; done < frames; done += 100) {
        player.Render(buffer.data() + done * 2, std::min<std::size_t>(100, frames - done), kRate);
    }
    std::vector<int> left;
    for (std::size_t i = 0; i < frames; ++i) {
        left.push_back(buffer[2 * i]);
    }
    return left;
}

int Peak(const std::vector<int>& samples) {
    int peak = 0;
    for (int sample : samples) {
        peak = std::max(peak, std::abs(sample));
    }
    return peak;
}

// Every sample keeps under a straight line from `from` (times the peak) at the first frame to
// `to` at frame `ramp`, give or take one step of it and rounding.
void ExpectUnderRamp(const std::vector<int>& samples, int peak, double from, double to,
                     std::size_t ramp, const char* what) {
    for (std::size_t i = 0; i < ramp; ++i) {
        const double line = from + (to - from) * static_cast<double>(i + 1) / ramp;
        EXPECT_LE(std::abs(samples[i]), peak * (line + 1.0 / ramp) + 1) << what << " frame " << i;
    }
}

TEST_F(ModulePlayerTest, PausingAndStoppingRampTheSoundDownAndResumingRampsItUp) {
    Play(SyncEveryRow(4, 6, 125), true); // a square wave that never stops
    const std::size_t ramp = platform::RampFrames(kRate);
    ASSERT_GE(ramp, 100u); // a few ms
    ASSERT_LE(ramp, 480u);
    const int peak = Peak(RenderLeft(player, 2000));
    ASSERT_GT(peak, 1000);

    // Paused: down to zero within the ramp, the last step into silence a small one; then held.
    player.Pause();
    EXPECT_FALSE(player.IsSilent()) << "the ramp is still to be rendered";
    const std::size_t rows = syncs.size();
    std::vector<int> paused = RenderLeft(player, ramp + 20000);
    ExpectUnderRamp(paused, peak, 1.0, 0.0, ramp, "pause");
    EXPECT_LE(std::abs(paused[ramp - 2]), peak * 2 / static_cast<int>(ramp) + 1);
    EXPECT_EQ(Peak({paused.begin() + static_cast<long>(ramp), paused.end()}), 0);
    EXPECT_TRUE(player.IsSilent());
    EXPECT_TRUE(player.IsPlaying());
    EXPECT_EQ(syncs.size(), rows) << "no row is played while held";

    // Resumed: up from zero along the ramp, then at full level again.
    player.Resume();
    std::vector<int> resumed = RenderLeft(player, ramp + 2000);
    ExpectUnderRamp(resumed, peak, 0.0, 1.0, ramp, "resume");
    EXPECT_LE(std::abs(resumed[0]), peak * 2 / static_cast<int>(ramp) + 1);
    EXPECT_GE(Peak({resumed.begin() + static_cast<long>(ramp), resumed.end()}), peak * 9 / 10);

    // Stopped: the same ramp down, then silence for good.
    player.Stop();
    EXPECT_FALSE(player.IsPlaying());
    std::vector<int> stopped = RenderLeft(player, ramp + 20000);
    ExpectUnderRamp(stopped, peak, 1.0, 0.0, ramp, "stop");
    EXPECT_EQ(Peak({stopped.begin() + static_cast<long>(ramp), stopped.end()}), 0);
    EXPECT_TRUE(player.IsSilent());
    player.Resume();
    EXPECT_EQ(Peak(RenderLeft(player, 1000)), 0) << "a stopped player does not resume";
}

} // namespace
