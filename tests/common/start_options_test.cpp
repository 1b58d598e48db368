// The command line of zarvo and zarvo.exe: every option in both spellings, and refusals that name
// the option.
#include "start_options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Parsed {
    bool ok = false;
    platform::StartOptions options;
    std::string message;
};

Parsed Parse(std::vector<std::string> args) {
    args.insert(args.begin(), "zarvo");
    std::vector<char*> argv;
    for (std::string& arg : args) {
        argv.push_back(arg.data());
    }
    Parsed parsed;
    parsed.ok = platform::ParseStartOptions(static_cast<int>(argv.size()), argv.data(),
                                            parsed.options, parsed.message);
    return parsed;
}

TEST(StartOptions, NoOptionsAskForSoundAndStartFullscreenWithTheIntrosModule) {
    const Parsed parsed = Parse({});
    ASSERT_TRUE(parsed.ok) << parsed.message;
    EXPECT_EQ(parsed.options.sound, platform::SoundSetting::ask);
    EXPECT_FALSE(parsed.options.windowed);
    EXPECT_EQ(parsed.options.display, -1);
    EXPECT_TRUE(parsed.options.moduleFile.empty());
    EXPECT_EQ(parsed.options.pace.kind, platform::PaceKind::show);
    EXPECT_FALSE(parsed.options.study);
}

TEST(StartOptions, EveryOptionTakesEffectInEitherSpelling) {
    Parsed parsed = Parse({"--window", "--sound", "none", "--display=1", "--module", "my.xm",
                           "--fps", "50", "--study"});
    ASSERT_TRUE(parsed.ok) << parsed.message;
    EXPECT_TRUE(parsed.options.windowed);
    EXPECT_TRUE(parsed.options.study);
    EXPECT_EQ(parsed.options.sound, platform::SoundSetting::none);
    EXPECT_EQ(parsed.options.display, 1);
    EXPECT_EQ(parsed.options.moduleFile, "my.xm");
    EXPECT_EQ(parsed.options.pace.kind, platform::PaceKind::chosen);
    EXPECT_EQ(parsed.options.pace.framesPerSecond, 50.0);
    parsed =
        Parse({"--window", "--fullscreen", "--sound=default", "--version", "/?", "--fps=display"});
    ASSERT_TRUE(parsed.ok) << parsed.message;
    EXPECT_FALSE(parsed.options.windowed) << "the last of --window and --fullscreen wins";
    EXPECT_EQ(parsed.options.sound, platform::SoundSetting::defaultOutput);
    EXPECT_TRUE(parsed.options.version);
    EXPECT_TRUE(parsed.options.help);
    EXPECT_EQ(parsed.options.pace.kind, platform::PaceKind::display);
}

TEST(StartOptions, WrongArgumentsAreRefusedNamingTheOption) {
    for (const auto& args : std::vector<std::vector<std::string>>{{"--sound", "loud"},
                                                                  {"--sound"},
                                                                  {"--display", "-1"},
                                                                  {"--display", "first"},
                                                                  {"--module="},
                                                                  {"--window=yes"},
                                                                  {"--fps", "0"},
                                                                  {"--fps=fast"},
                                                                  {"--frobnicate"},
                                                                  {"extra"}}) {
        const Parsed parsed = Parse(args);
        EXPECT_FALSE(parsed.ok) << args[0];
        EXPECT_NE(parsed.message.find(args[0].substr(0, args[0].find('='))), std::string::npos)
            << parsed.message;
    }
    const std::string usage = platform::StartUsage("zarvo.exe", "on the whole screen\n", false);
    EXPECT_EQ(usage.rfind("Usage: zarvo.exe [options]\n", 0), 0u) << usage;
    EXPECT_NE(usage.find("  --fullscreen       on the whole screen\n  --sound"), std::string::npos)
        << usage;
    for (const char* option : {"--help", "--version", "--window", "--fullscreen", "--sound",
                               "--display", "--module", "--fps"}) {
        EXPECT_NE(usage.find(option), std::string::npos) << option;
    }
    // The study mode and its keys only where the program has it.
    EXPECT_EQ(usage.find("--study"), std::string::npos) << usage;
    const std::string studying = platform::StartUsage("zarvo", "on the whole screen\n", true);
    EXPECT_NE(studying.find("  --study  "), std::string::npos) << studying;
    EXPECT_NE(studying.find("Home   start again\n"), std::string::npos) << studying;
}

} // namespace
