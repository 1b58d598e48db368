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
