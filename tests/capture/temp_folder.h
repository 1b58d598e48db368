// Fresh folders under /tmp for the capture's tests, removed with everything in them.
#ifndef ZARVO_TESTS_CAPTURE_TEMP_FOLDER_H
#define ZARVO_TESTS_CAPTURE_TEMP_FOLDER_H

#include <gtest/gtest.h>

#include <string>

namespace capturetest {

// A new empty folder; Path() is empty when none could be made.
class TempFolder {
  public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::string& Path() const {
        return path_;
    }

  private:
    std::string path_;
};

// A test that works in a folder of its own, `dir_`, made before and removed after each test.
class TempFolderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_FALSE(folder_.Path().empty()) << "no folder under /tmp";
        dir_ = folder_.Path();
    }
    std::string dir_;

  private:
    TempFolder folder_;
};

} // namespace capturetest

#endif
