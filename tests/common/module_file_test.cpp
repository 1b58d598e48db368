// The module file's opening: the search order and override, the refusals that come before any
// read (devices, pipes, folders, oversized and foreign files) without blocking, and the read.
#include "module_file.h"
#include "xm_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

// A fresh folder made the working directory for one test; the old one comes back after.
class ModuleFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/zarvo_module_file_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder = pattern;
        char here[4096];
        ASSERT_NE(getcwd(here, sizeof here), nullptr);
        previous = here;
        ASSERT_EQ(chdir(folder.c_str()), 0);
    }
    void TearDown() override {
        platform::SetModuleFileOverride("");
        EXPECT_EQ(chdir(previous.c_str()), 0);
        const std::string command = "rm -rf '" + folder + "'";
        EXPECT_EQ(std::system(command.c_str()), 0);
    }
    // Reads `name`; expects a refusal whose text holds `reason`, and no bytes.
    void ExpectRefused(const std::string& name, const std::string& reason) {
        std::vector<std::uint8_t> bytes{1, 2, 3};
        std::string error;
        EXPECT_FALSE(platform::ReadModuleFile(name, bytes, error)) << name;
        EXPECT_TRUE(bytes.empty()) << name;
        EXPECT_NE(error.find("'" + name + "'"), std::string::npos) << error;
        EXPECT_NE(error.find(reason), std::string::npos) << error;
    }
    // Reads `name`, expecting it to be taken.
    std::vector<std::uint8_t> ReadAll(const std::string& name) {
        std::vector<std::uint8_t> bytes;
        std::string error;
        EXPECT_TRUE(platform::ReadModuleFile(name, bytes, error)) << error;
        return bytes;
    }

    std::string folder;
    std::string previous;
};

std::vector<std::uint8_t> SmallModule() {
    xmtest::Song song;
    song.patterns.push_back(xmtest::PatternWithSyncs(8, {0}));
    return xmtest::BuildXm(song);
}

bool WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    // An empty vector's data() may be null, which fwrite must not be given even for no bytes.
    const bool ok =
        bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && ok;
}

TEST_F(ModuleFileTest, SearchesTheWorkingDirectoryThenBesideTheProgramAndHonoursTheOverride) {
    const std::vector<std::string> folders = platform::ModuleSearchFolders();
    ASSERT_EQ(folders.size(), 3u);
    EXPECT_EQ(folders[0], ".");
    EXPECT_EQ(folders[1].substr(folders[1].size() - 6), "/zarvo") << folders[1];
    // The test program lives in the build folder, beside the built module (an installed one
    // comes first).
    const std::string installed = folders[1] + "/Zarvo.xm";
    const std::string beside =
        access(installed.c_str(), F_OK) == 0 ? installed : folders[2] + "/Zarvo.xm";
    ASSERT_EQ(access(beside.c_str(), R_OK), 0) << beside;

    const std::string unique = "no_such_module_anywhere.xm";
    EXPECT_EQ(platform::ResolveModuleFile(unique), unique) << "nothing found: the name itself";
    // Found nowhere: the message says where it was looked for.
    ExpectRefused(unique, "No such file or directory; looked for in the working directory (" +
                              folder + "), " + folders[1] + " and " + folders[2]);
    EXPECT_EQ(platform::ResolveModuleFile("Zarvo.xm"), beside);
    EXPECT_GT(ReadAll("Zarvo.xm").size(), 1000u);

    // One in the working directory comes first, even when it is no module.
    ASSERT_TRUE(WriteBytes("Zarvo.xm", {'n', 'o', 'p', 'e'}));
    EXPECT_EQ(platform::ResolveModuleFile("Zarvo.xm"), "Zarvo.xm");
    ExpectRefused("Zarvo.xm", "not a module format");
    // A dangling link there is taken as the user's file too: missing, not replaced.
    ASSERT_EQ(std::remove("Zarvo.xm"), 0);
    ASSERT_EQ(symlink("gone.xm", "Zarvo.xm"), 0);
    ExpectRefused("Zarvo.xm", "No such file");
    std::vector<std::uint8_t> bytes;
    std::string error;
    EXPECT_FALSE(platform::ReadModuleFile("Zarvo.xm", bytes, error));
    EXPECT_EQ(error.find("looked for"), std::string::npos) << "it was found: " << error;

    // A name with a folder is taken as given.
    EXPECT_EQ(platform::ResolveModuleFile("sub/Zarvo.xm"), "sub/Zarvo.xm");

    // The override replaces the asked-for name, and the messages name the file the user asked
    // for: the library's text, and the intro's once passed through ModuleMessageText.
    const std::vector<std::uint8_t> module = SmallModule();
    ASSERT_TRUE(WriteBytes("other.xm", module));
    platform::SetModuleFileOverride(folder + "/other.xm");
    EXPECT_EQ(ReadAll("Zarvo.xm"), module);
    const std::string missing = folder + "/missing.xm";
    platform::SetModuleFileOverride(missing);
    EXPECT_FALSE(platform::ReadModuleFile("Zarvo.xm", bytes, error));
    EXPECT_EQ(error, "Unable to open file '" + missing + "': No such file or directory");
    const std::string box = "Sceners: MIDASloadModule() failed (" + error +
                            ").\r\nLamers: The module 'Zarvo.xm' is missing or corrupt.";
    EXPECT_EQ(platform::ModuleMessageText(box), "Sceners: MIDASloadModule() failed (" + error +
                                                    ").\r\nLamers: The module '" + missing +
                                                    "' is missing or corrupt.");
    platform::SetModuleFileOverride("");
    EXPECT_EQ(platform::ModuleMessageText(box), box) << "the intro's own text without --module";
}

TEST_F(ModuleFileTest, RefusesWhatNoModuleCanBeBeforeReadingIt) {
    // A pipe without a writer: opening it must not wait for one.
    ASSERT_EQ(mkfifo("pipe.xm", 0600), 0);
    ExpectRefused("pipe.xm", "named pipe");
    // A pipe with a writer that never stops writing.
    const int writer = open("pipe.xm", O_RDWR | O_NONBLOCK);
    ASSERT_GE(writer, 0);
    ASSERT_EQ(write(writer, "Extended Module: ", 17), 17);
    ExpectRefused("pipe.xm", "named pipe");
    close(writer);

    ASSERT_EQ(symlink("/dev/zero", "zero.xm"), 0);
    ExpectRefused("zero.xm", "a device");
    ASSERT_EQ(mkdir("folder.xm", 0700), 0);
    ExpectRefused("folder.xm", "a directory");

    ASSERT_TRUE(WriteBytes("empty.xm", {}));
    ExpectRefused("empty.xm", "empty");
    // Sparse files: nothing of them is on disk, and nothing of them may be read.
    ASSERT_TRUE(WriteBytes("huge.xm", {}));
    ASSERT_EQ(truncate("huge.xm", std::int64_t{3} << 30), 0);
    ExpectRefused("huge.xm", "limit is 64 MiB");
    ASSERT_TRUE(WriteBytes("limit.xm", {}));
    ASSERT_EQ(truncate("limit.xm", static_cast<off_t>(platform::kModuleFileLimit)), 0);
    ExpectRefused("limit.xm", "not a module format");

    // A real module's head on an oversized file is still refused by its size.
    std::vector<std::uint8_t> module = SmallModule();
    ASSERT_TRUE(WriteBytes("big.xm", module));
    ASSERT_EQ(truncate("big.xm", static_cast<off_t>(platform::kModuleFileLimit + 1)), 0);
    ExpectRefused("big.xm", "67108865 bytes");
    // Within the limit it is read whole.
    ASSERT_EQ(truncate("big.xm", 200000), 0);
    const std::vector<std::uint8_t> data = ReadAll("big.xm");
    ASSERT_EQ(data.size(), 200000u);
    EXPECT_TRUE(std::equal(module.begin(), module.end(), data.begin()));
    EXPECT_EQ(std::count(data.begin() + module.size(), data.end(), 0),
              static_cast<long>(data.size() - module.size()));
}

} // namespace
