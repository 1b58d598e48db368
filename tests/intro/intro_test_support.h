// Shared helpers of the intro's tests: a clean slate for intro and double, and expected texts.
#ifndef ZARVO_TESTS_INTRO_INTRO_TEST_SUPPORT_H
#define ZARVO_TESTS_INTRO_INTRO_TEST_SUPPORT_H

#include <string>

#include <gtest/gtest.h>

#include "platform/fake/fake_platform.h"

// Puts every global of the intro back to its starting value (appState's members, the scene with
// its light array freed, the show's record) and resets the double.
void ResetIntroAndPlatform();

// The module instance tests hand to WinMain.
HINSTANCE TestInstance();

// WinMain as the runtime's start-up code calls it.
int RunWinMain();

// Runs the start-up steps WinMain runs before its loop, expecting each to succeed, then clears
// the double's log so a test sees only what follows.
void StartIntro();

// A failure message template filled with a result code (as an unsigned number) and a text.
std::string Filled(const char* format, HRESULT code, const char* description);

// Every test starts and ends with a clean intro and double.
class IntroTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;
};

#endif
