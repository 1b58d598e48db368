// The module is made from the song text alone, the same bytes every time.
#include "rendered_module.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace musictest {
namespace {

std::string TempPath(const char* stem) {
    return std::string(::testing::TempDir()) + stem + std::to_string(::getpid()) + ".xm";
}

std::vector<uint8_t> Compose(const std::string& out) {
    std::string command =
        std::string("\"") + ZARVO_COMPOSER_PATH + "\" \"" + ZARVO_SONG_PATH + "\" \"" + out + "\"";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    std::vector<uint8_t> bytes = ReadFile(out);
    std::remove(out.c_str());
    return bytes;
}

TEST(ModuleBuild, TwoBuildsGiveIdenticalBytesEqualToTheBuiltModule) {
    std::vector<uint8_t> first = Compose(TempPath("zarvo-a-"));
    std::vector<uint8_t> second = Compose(TempPath("zarvo-b-"));
    ASSERT_GT(first.size(), 1000u);
    EXPECT_TRUE(first == second);
    EXPECT_TRUE(first == ModuleBytes());
}

uint32_t Le32(const std::vector<uint8_t>& b, size_t at) {
    return static_cast<uint32_t>(b.at(at) | (b.at(at + 1) << 8) | (b.at(at + 2) << 16) |
                                 (static_cast<uint32_t>(b.at(at + 3)) << 24));
}

TEST(ModuleBuild, TheComposerRendersOnePassToAWavFile) {
    std::string xm = TempPath("wav-");
    std::string wav = xm + ".wav";
    std::string command = std::string("\"") + ZARVO_COMPOSER_PATH + "\" \"" + ZARVO_SONG_PATH +
                          "\" \"" + xm + "\" --wav \"" + wav + "\" --rate 24000";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    std::vector<uint8_t> bytes = ReadFile(wav);
    std::remove(xm.c_str());
    std::remove(wav.c_str());
    ASSERT_GT(bytes.size(), 44u);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "RIFF");
    EXPECT_EQ(std::string(bytes.begin() + 8, bytes.begin() + 16), "WAVEfmt ");
    EXPECT_EQ(Le32(bytes, 24), 24000u);            // sample rate
    EXPECT_EQ(bytes.at(22), 2);                    // stereo
    EXPECT_EQ(Le32(bytes, 40), bytes.size() - 44); // data size
    EXPECT_EQ(Le32(bytes, 4), bytes.size() - 8);   // RIFF size
    double seconds = static_cast<double>(Le32(bytes, 40)) / 4.0 / 24000.0;
    openmpt::module m = LoadModule();
    // One pass, no looping. (24 kHz gives a whole number of frames per tick; at rates that do
    // not, libopenmpt rounds the tick and the pass comes out a little shorter.)
    EXPECT_NEAR(seconds, m.get_duration_seconds(), 0.5);
}

TEST(ModuleBuild, AMistakeInTheSongFailsTheBuildWithoutLeavingAModule) {
    std::string song =
        std::string(::testing::TempDir()) + "broken" + std::to_string(::getpid()) + ".song";
    std::string out = TempPath("broken-");
    {
        FILE* f = std::fopen(song.c_str(), "w");
        ASSERT_NE(f, nullptr);
        std::fputs("channels a\nsection s\n  a: nothing\norder s\n", f);
        std::fclose(f);
    }
    std::string command =
        std::string("\"") + ZARVO_COMPOSER_PATH + "\" \"" + song + "\" \"" + out + "\" 2>/dev/null";
    EXPECT_NE(std::system(command.c_str()), 0);
    EXPECT_TRUE(ReadFile(out).empty());
    std::remove(song.c_str());
}

} // namespace
} // namespace musictest
