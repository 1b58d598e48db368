// The SDL dialog box without a window: its layout, and every button reached from the keyboard.
#include "sdl_dialog_layout.h"

#include "gdi_font.h"

#include <gtest/gtest.h>

namespace {

sdl::DialogBox SoundBox() {
    sdl::DialogBox box;
    box.title = "Zarvo: sound setup";
    box.message = "Play the music through the default sound output?\nsecond line";
    box.buttons = {{"Default output", 'D'}, {"No sound", 'N'}, {"Cancel", 'C'}};
    box.defaultButton = 0;
    box.escapeButton = 2;
    return box;
}

TEST(DialogKeys, EveryButtonIsReachedFromTheKeyboard) {
    const sdl::DialogBox box = SoundBox();
    {
        sdl::DialogKeys keys(box);
        EXPECT_EQ(keys.Press(SDLK_RETURN, false), 0) << "Enter takes the default";
        EXPECT_EQ(keys.Press(SDLK_ESCAPE, false), 2) << "Escape cancels";
    }
    {
        sdl::DialogKeys keys(box);
        EXPECT_EQ(keys.Press(SDLK_TAB, false), -1);
        EXPECT_EQ(keys.Focus(), 1);
        EXPECT_EQ(keys.Press(SDLK_SPACE, false), 1) << "Tab then Space presses No sound";
        EXPECT_EQ(keys.Press(SDLK_TAB, true), -1);
        EXPECT_EQ(keys.Press(SDLK_TAB, true), -1);
        EXPECT_EQ(keys.Focus(), 2) << "Shift+Tab wraps round from the first button";
        EXPECT_EQ(keys.Press(SDLK_RIGHT, false), -1);
        EXPECT_EQ(keys.Focus(), 0) << "the arrow wraps round from the last button";
        EXPECT_EQ(keys.Press(SDLK_LEFT, false), -1);
        EXPECT_EQ(keys.Press(SDLK_KP_ENTER, false), 2);
    }
    {
        sdl::DialogKeys keys(box);
        EXPECT_EQ(keys.Press(SDLK_n, false), 1) << "the underlined letter presses its button";
        EXPECT_EQ(keys.Focus(), 1);
        EXPECT_EQ(keys.Press(SDLK_c, true), 2) << "letters are matched in either case";
        EXPECT_EQ(keys.Press(SDLK_x, false), -1);
        EXPECT_EQ(keys.Press(SDLK_F1, false), -1) << "a key outside ASCII is no letter";
    }
}

TEST(DialogLayout, WrapsLongLinesAndKeepsEverythingInsideTheBox) {
    platform::Backend backend;
    backend.gdi.findFontFace = platform::FindFontconfigFace;
    platform::InstallBackend(backend);
    if (platform::AcquireSystemFont() == nullptr) {
        GTEST_SKIP() << "no font";
    }
    sdl::DialogBox box = SoundBox();
    box.message =
        std::string("Sceners: IDirectDraw4::SetDisplayMode() failed with RC 2289435074 ") +
        "(a description long enough to need a second line and then a third one as well, "
        "since the box stays narrower than the screen).\n\nLamers: short.";
    const sdl::DialogLayout layout = sdl::LayOutDialog(box);
    ASSERT_GE(layout.lines.size(), 5u);
    EXPECT_EQ(layout.lines[layout.lines.size() - 2], "") << "an empty line stays";
    EXPECT_EQ(layout.lines.back(), "Lamers: short.");
    std::string rejoined;
    for (const std::string& line : layout.lines) {
        EXPECT_LE(sdl::DialogTextWidth(line), sdl::kDialogTextWidth) << line;
        EXPECT_LE(layout.textX + sdl::DialogTextWidth(line), layout.width) << line;
        rejoined += line + ' ';
    }
    EXPECT_NE(rejoined.find("then a third one as well"), std::string::npos) << "no word is lost";
    ASSERT_EQ(layout.buttons.size(), 3u);
    for (std::size_t i = 0; i < layout.buttons.size(); ++i) {
        const sdl::DialogRect& r = layout.buttons[i];
        EXPECT_GE(r.x, 0);
        EXPECT_LE(r.x + r.w, layout.width);
        EXPECT_LE(r.y + r.h, layout.height);
        EXPECT_GE(r.w, sdl::DialogTextWidth(box.buttons[i].label)) << "the label fits";
        EXPECT_GT(r.y, layout.textY + static_cast<int>(layout.lines.size() - 1) * 16)
            << "buttons stand below the text";
        if (i > 0) {
            EXPECT_GT(r.x, layout.buttons[i - 1].x + layout.buttons[i - 1].w) << "no overlap";
        }
    }
}

} // namespace
