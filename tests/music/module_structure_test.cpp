// The built module as libopenmpt reads it: the sync clock (one W on every row), the steady
// tempo, the section grid, the length of a pass and the restart position.
#include "rendered_module.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace musictest {
namespace {

uint32_t HeaderWord(size_t offset) {
    const std::vector<uint8_t>& b = ModuleBytes();
    return static_cast<uint32_t>(b.at(offset) | (b.at(offset + 1) << 8));
}

TEST(ModuleStructure, LoadsAsAnXmWithAnEvenChannelCountAndTheLinearTable) {
    openmpt::module m = LoadModule();
    EXPECT_EQ(m.get_metadata("type"), "xm");
    EXPECT_EQ(m.get_num_channels() % 2, 0);
    EXPECT_EQ(HeaderWord(58), 0x0104u); // version
    EXPECT_EQ(HeaderWord(74) & 1u, 1u); // linear frequency table
    EXPECT_EQ(m.get_metadata("title"), "Zarvo");
}

TEST(ModuleStructure, EveryPlayedRowHasExactlyOneSyncCommandInOneKeptChannel) {
    openmpt::module m = LoadModule();
    std::set<int> syncChannels;
    for (int32_t order = 0; order < m.get_num_orders(); ++order) {
        int32_t pattern = m.get_order_pattern(order);
        for (int32_t row = 0; row < m.get_pattern_num_rows(pattern); ++row) {
            int found = 0;
            for (int32_t channel = 0; channel < m.get_num_channels(); ++channel) {
                if (m.format_pattern_row_channel_command(pattern, row, channel,
                                                         openmpt::module::command_effect) == "W") {
                    ++found;
                    syncChannels.insert(channel);
                }
            }
            ASSERT_EQ(found, 1) << "order " << order << " row " << row;
        }
    }
    ASSERT_EQ(syncChannels.size(), 1u);
    // The kept channel carries nothing but the clock: no note may sound there.
    int channel = *syncChannels.begin();
    for (int32_t pattern = 0; pattern < m.get_num_patterns(); ++pattern) {
        for (int32_t row = 0; row < m.get_pattern_num_rows(pattern); ++row) {
            EXPECT_EQ(m.get_pattern_row_channel_command(pattern, row, channel,
                                                        openmpt::module::command_note),
                      0);
        }
    }
}

TEST(ModuleStructure, SpeedAndTempoNeverChange) {
    openmpt::module m = LoadModule();
    EXPECT_EQ(m.get_current_speed(), 3);
    EXPECT_EQ(m.get_current_tempo(), 150);
    for (int32_t pattern = 0; pattern < m.get_num_patterns(); ++pattern) {
        for (int32_t row = 0; row < m.get_pattern_num_rows(pattern); ++row) {
            for (int32_t channel = 0; channel < m.get_num_channels(); ++channel) {
                std::string effect = m.format_pattern_row_channel_command(
                    pattern, row, channel, openmpt::module::command_effect);
                // F sets speed or BPM; B, D, E6y (loop) and EEy (pattern delay) bend the clock.
                int sub = m.get_pattern_row_channel_command(pattern, row, channel,
                                                            openmpt::module::command_parameter) >>
                          4;
                bool bends = effect == "F" || effect == "B" || effect == "D" ||
                             (effect == "E" && (sub == 0x6 || sub == 0xE));
                EXPECT_FALSE(bends) << "pattern " << pattern << " row " << row << " " << effect;
            }
        }
    }
    // Every row lasts 50 ms, so the whole pass is the row count times 50 ms.
    int64_t rows = 0;
    for (int32_t order = 0; order < m.get_num_orders(); ++order) {
        rows += m.get_pattern_num_rows(m.get_order_pattern(order));
    }
    EXPECT_NEAR(m.get_duration_seconds(), static_cast<double>(rows) * kRowSeconds, 1e-6);
}

TEST(ModuleStructure, SectionsAreWholeCaptionsAndAPassLastsAtLeast270Seconds) {
    openmpt::module m = LoadModule();
    for (int32_t order = 0; order < m.get_num_orders(); ++order) {
        EXPECT_EQ(m.get_pattern_num_rows(m.get_order_pattern(order)), kSectionRows);
    }
    EXPECT_GE(m.get_duration_seconds(), 270.0);
    // The show ends near sync count 5000; it must still be inside the first pass then.
    EXPECT_GT(m.get_num_orders() * kSectionRows, 5100);
}

TEST(ModuleStructure, RestartPositionIsValidAndPlaybackGoesOnThere) {
    uint32_t length = HeaderWord(64);
    uint32_t restart = HeaderWord(66);
    ASSERT_LT(restart, length);
    openmpt::module m = LoadModule();
    m.set_repeat_count(1);
    m.set_position_seconds(m.get_duration_seconds() - 0.5);
    std::vector<float> block(2 * 8000);
    m.read_interleaved_stereo(8000, 8000, block.data()); // one second: crosses the end
    EXPECT_EQ(m.get_current_order(), static_cast<int32_t>(restart));
    EXPECT_LT(m.get_current_row(), 20);
}

TEST(ModuleStructure, AKickStartsEveryBarWithTheSpheresBounceExceptWhileTheEndRingsOut) {
    // The final chord (itself on a kick) is left to ring from sync 4864: its other three bars
    // and the bar's rest after it (to 5024, past the show's end) have no kick; then they return.
    openmpt::module m = LoadModule();
    std::vector<std::string> names = m.get_instrument_names();
    int kick = 0;
    for (size_t i = 0; i < names.size(); ++i) {
        if (names[i] == "kick") {
            kick = static_cast<int>(i) + 1;
        }
    }
    ASSERT_NE(kick, 0) << "no instrument named kick";
    for (int32_t order = 0; order < m.get_num_orders(); ++order) {
        int32_t pattern = m.get_order_pattern(order);
        for (int32_t row = 0; row < kSectionRows; row += 32) {
            const int32_t sync = order * kSectionRows + row;
            const bool ringing = sync > kFinalChordSync && sync < kFinalChordSync + 160;
            bool kicked = false;
            for (int32_t channel = 0; channel < m.get_num_channels(); ++channel) {
                kicked = kicked ||
                         (m.get_pattern_row_channel_command(pattern, row, channel,
                                                            openmpt::module::command_note) != 0 &&
                          m.get_pattern_row_channel_command(
                              pattern, row, channel, openmpt::module::command_instrument) == kick);
            }
            if (ringing) {
                EXPECT_FALSE(kicked) << "a kick in the ring-out, bar at sync " << sync;
            } else {
                EXPECT_TRUE(kicked) << "order " << order << " bar at row " << row;
            }
        }
    }
}

} // namespace
} // namespace musictest
