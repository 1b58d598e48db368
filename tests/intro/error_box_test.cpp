// ErrorBox: the text, the owner, and the teardown before the box.
#include <string>

#include <gtest/gtest.h>

#include "app/app_state.h"
#include "app/error_box.h"
#include "intro_test_support.h"
#include "raytrace/scene.h"

namespace {

using ErrorBoxTest = IntroTest;

TEST_F(ErrorBoxTest, BeforeTheWindowExistsTheBoxHasNoOwner) {
    ErrorBox("Sceners: %s() failed (%s).\r\nLamers: %u", "X", "why", 7u);
    ASSERT_EQ(fake::Boxes().size(), 1u);
    EXPECT_EQ(fake::Boxes()[0].owner, nullptr);
    EXPECT_EQ(fake::Boxes()[0].text, "Sceners: X() failed (why).\r\nLamers: 7");
    EXPECT_EQ(fake::Boxes()[0].caption, "Error");
    EXPECT_EQ(fake::Boxes()[0].type, 0x10u);
}

TEST_F(ErrorBoxTest, AVisibleMainWindowOwnsTheBoxShownAfterEverythingIsReleased) {
    StartIntro();
    ErrorBox("boom %u", 0x887601C2u);
    ASSERT_EQ(fake::Boxes().size(), 1u);
    const fake::Box& box = fake::Boxes()[0];
    EXPECT_EQ(box.owner, fake::MainWindow());
    EXPECT_EQ(box.text, "boom 2289435074");
    EXPECT_EQ(box.liveDisplayObjects, 0);
    EXPECT_FALSE(box.exclusive);
    EXPECT_FALSE(box.modeChanged);
    EXPECT_FALSE(box.soundOpen);
    EXPECT_EQ(scene.lights, nullptr);
    EXPECT_EQ(appState.displayReady, 0);
    EXPECT_EQ(fake::LastIndexOf("MessageBoxA"), static_cast<int>(fake::Calls().size()) - 1);
}

TEST_F(ErrorBoxTest, AHiddenOrDestroyedWindowOwnsNothing) {
    StartIntro();
    ShowWindow(appState.window, 0);
    ErrorBox("hidden");
    ASSERT_EQ(fake::Boxes().size(), 1u);
    EXPECT_EQ(fake::Boxes()[0].owner, nullptr);

    fake::Post(WM_CLOSE);
    MSG msg{};
    GetMessageA(&msg, nullptr, 0, 0);
    DispatchMessageA(&msg);
    ASSERT_FALSE(fake::WindowAlive());
    ErrorBox("destroyed");
    ASSERT_EQ(fake::Boxes().size(), 2u);
    EXPECT_EQ(fake::Boxes()[1].owner, nullptr);
}

TEST_F(ErrorBoxTest, ALongTextIsCutAtTheBufferEnd) {
    const std::string longText(3000, 'x');
    ErrorBox("Sceners: %s", longText.c_str());
    ASSERT_EQ(fake::Boxes().size(), 1u);
    const std::string& shown = fake::Boxes()[0].text;
    EXPECT_EQ(shown.size(), 1023u);
    EXPECT_EQ(shown.substr(0, 10), "Sceners: x");
}

} // namespace
