// The WAV writer: a whole, readable file after every append, with the samples in order.
#include "temp_folder.h"
#include "capture_wav_writer.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::vector<unsigned char> ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(file),
                                      std::istreambuf_iterator<char>());
}

std::uint32_t Le32(const std::vector<unsigned char>& bytes, std::size_t at) {
    return bytes[at] | (bytes[at + 1] << 8) | (bytes[at + 2] << 16) |
           (static_cast<std::uint32_t>(bytes[at + 3]) << 24);
}

std::uint16_t Le16(const std::vector<unsigned char>& bytes, std::size_t at) {
    return static_cast<std::uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}

class WavWriterTest : public capturetest::TempFolderTest {
  protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        path_ = dir_ + "/audio.wav";
    }
    std::string path_;
};

TEST_F(WavWriterTest, TheHeaderDescribesWhatIsAlreadyOnDiskBeforeClose) {
    capture::WavWriter wav;
    std::string error;
    ASSERT_TRUE(wav.Open(path_, 44100, error)) << error;
    std::vector<unsigned char> bytes = ReadFile(path_);
    ASSERT_EQ(bytes.size(), 44u);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "RIFF");
    EXPECT_EQ(std::string(bytes.begin() + 8, bytes.begin() + 16), "WAVEfmt ");
    EXPECT_EQ(Le16(bytes, 20), 1);          // PCM
    EXPECT_EQ(Le16(bytes, 22), 2);          // stereo
    EXPECT_EQ(Le32(bytes, 24), 44100u);     // sample rate
    EXPECT_EQ(Le32(bytes, 28), 44100u * 4); // bytes per second
    EXPECT_EQ(Le16(bytes, 32), 4);          // block align
    EXPECT_EQ(Le16(bytes, 34), 16);         // bits
    EXPECT_EQ(Le32(bytes, 40), 0u);

    const std::vector<std::int16_t> first = {1, -1, 32767, -32768, 258, -258};
    ASSERT_TRUE(wav.Append(first.data(), 3, error)) << error;
    const std::vector<std::int16_t> second = {7, 8};
    ASSERT_TRUE(wav.Append(second.data(), 1, error)) << error;
    // Not closed: a capture stopped here must still leave a valid file.
    bytes = ReadFile(path_);
    ASSERT_EQ(bytes.size(), 44u + 16u);
    EXPECT_EQ(Le32(bytes, 4), 36u + 16u);
    EXPECT_EQ(Le32(bytes, 40), 16u);
    const std::vector<std::int16_t> expected = {1, -1, 32767, -32768, 258, -258, 7, 8};
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(static_cast<std::int16_t>(Le16(bytes, 44 + i * 2)), expected[i]) << i;
    }
    EXPECT_EQ(wav.FramesWritten(), 4);
    wav.Close();
    wav.Close();
    EXPECT_EQ(ReadFile(path_).size(), 60u);
}

TEST_F(WavWriterTest, AFolderThatDoesNotExistIsReported) {
    capture::WavWriter wav;
    std::string error;
    EXPECT_FALSE(wav.Open(dir_ + "/missing/audio.wav", 48000, error));
    EXPECT_NE(error.find("missing/audio.wav"), std::string::npos) << error;
    const std::int16_t sample[2] = {0, 0};
    EXPECT_FALSE(wav.Append(sample, 1, error));
}

} // namespace
