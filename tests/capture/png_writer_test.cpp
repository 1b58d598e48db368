// PNG frames: exact colours back, the same bytes for the same picture, whole files only.
#include "capture_png_writer.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

std::string ReadBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

class PngWriterTest : public capturetest::TempFolderTest {};

// A picture with every channel value and the top byte set, which must not leak into the file.
std::vector<std::uint32_t> TestPicture(int width, int height, int pitch) {
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(pitch) * height, 0xDEADBEEFu);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::uint32_t v = static_cast<std::uint32_t>(y * width + x);
            pixels[static_cast<std::size_t>(y) * pitch + x] =
                0xAB000000u | ((v & 0xFF) << 16) | (((v * 7) & 0xFF) << 8) | ((v * 13) & 0xFF);
        }
    }
    return pixels;
}

TEST_F(PngWriterTest, ColoursComeBackExactlyAndThePitchIsHonoured) {
    const int width = 320;
    const int height = 200;
    const int pitch = 328;
    const std::vector<std::uint32_t> picture = TestPicture(width, height, pitch);
    std::string error;
    ASSERT_TRUE(capture::WritePng(dir_ + "/a.png", picture.data(), width, height, pitch, error))
        << error;
    std::vector<std::uint32_t> back;
    int w = 0;
    int h = 0;
    ASSERT_TRUE(capture::ReadPng(dir_ + "/a.png", back, w, h, error)) << error;
    ASSERT_EQ(w, width);
    ASSERT_EQ(h, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            ASSERT_EQ(back[static_cast<std::size_t>(y) * width + x],
                      picture[static_cast<std::size_t>(y) * pitch + x] & 0x00FFFFFFu)
                << x << "," << y;
        }
    }
    EXPECT_NE(access((dir_ + "/a.png.part").c_str(), F_OK), 0) << "the partial file stays";
}

TEST_F(PngWriterTest, TheSamePictureGivesTheSameBytesWithoutATimeStamp) {
    const std::vector<std::uint32_t> picture = TestPicture(64, 40, 64);
    std::string error;
    ASSERT_TRUE(capture::WritePng(dir_ + "/a.png", picture.data(), 64, 40, 64, error));
    sleep(1); // a time stamp, if one were written, would now differ
    ASSERT_TRUE(capture::WritePng(dir_ + "/b.png", picture.data(), 64, 40, 64, error));
    const std::string a = ReadBytes(dir_ + "/a.png");
    const std::string b = ReadBytes(dir_ + "/b.png");
    EXPECT_FALSE(a.empty());
    EXPECT_EQ(a, b);
    EXPECT_EQ(a.find("tIME"), std::string::npos);
    EXPECT_EQ(a.substr(1, 3), "PNG");
}

TEST_F(PngWriterTest, FailuresAreReportedNotThrown) {
    const std::vector<std::uint32_t> picture = TestPicture(8, 8, 8);
    std::string error;
    EXPECT_FALSE(capture::WritePng(dir_ + "/no/such/a.png", picture.data(), 8, 8, 8, error));
    EXPECT_FALSE(error.empty());
    std::ofstream(dir_ + "/b.png") << "not a picture";
    std::vector<std::uint32_t> back;
    int w = 0;
    int h = 0;
    EXPECT_FALSE(capture::ReadPng(dir_ + "/b.png", back, w, h, error));
    EXPECT_NE(error.find("b.png"), std::string::npos);
}

TEST(FrameFileName, SixDigitsThenMore) {
    EXPECT_EQ(capture::FrameFileName(0), "000000.png");
    EXPECT_EQ(capture::FrameFileName(42), "000042.png");
    EXPECT_EQ(capture::FrameFileName(1234567), "1234567.png");
}

} // namespace
