// The SDL dialog box without a window: its layout, and every button reached from the keyboard.
#include "sdl_dialog_layout.h"
#include "sdl_sound_dialog.h"

#include "gdi_font.h"

#include <string>

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

// The sound dialog as a user meets it: the box made for what SDL lists, walked from the keyboard,
// and the answer MIDASconfig gets.
platform::SoundChoice Answer(const sdl::AudioOutputs& outputs, const std::vector<SDL_Keycode>& keys,
                             std::string& device) {
    const sdl::DialogBox box = sdl::SoundDialogFor(outputs);
    sdl::DialogKeys walk(box);
    for (const SDL_Keycode key : keys) {
        const int button = walk.Press(key, false);
        if (button >= 0) {
            return sdl::SoundAnswerOf(outputs, button, walk.Item(), device);
        }
    }
    ADD_FAILURE() << "no button was pressed";
    return platform::SoundChoice::Cancel;
}

TEST(SoundDialog, NoOutputSaysWhyAndOffersOnlyNoSoundAndCancel) {
    sdl::AudioOutputs none;
    none.reason = "the sound server (PulseAudio) cannot be reached";
    const sdl::DialogBox box = sdl::SoundDialogFor(none);
    EXPECT_NE(box.message.find(none.reason), std::string::npos);
    ASSERT_EQ(box.buttons.size(), 2u);
    EXPECT_EQ(box.buttons[box.defaultButton].label, "No sound");
    EXPECT_EQ(box.buttons[box.escapeButton].label, "Cancel");
    EXPECT_TRUE(box.items.empty());
    std::string device = "left over";
    EXPECT_EQ(Answer(none, {SDLK_RETURN}, device), platform::SoundChoice::NoSound);
    EXPECT_EQ(device, "");
    EXPECT_EQ(Answer(none, {SDLK_ESCAPE}, device), platform::SoundChoice::Cancel);
    EXPECT_EQ(Answer(none, {SDLK_TAB, SDLK_SPACE}, device), platform::SoundChoice::Cancel);
}

TEST(SoundDialog, SeveralOutputsAreListedDefaultFirstAndThePickedOneIsOpened) {
    sdl::AudioOutputs outputs;
    outputs.names = {"Speakers", "Headphones", "HDMI"};
    outputs.firstIsDefault = true;
    const sdl::DialogBox box = sdl::SoundDialogFor(outputs);
    ASSERT_EQ(box.items.size(), 3u);
    EXPECT_EQ(box.items[0], "Speakers (default)");
    EXPECT_EQ(box.item, 0) << "the default is selected at first";
    std::string device = "left over";
    EXPECT_EQ(Answer(outputs, {SDLK_RETURN}, device), platform::SoundChoice::Play);
    EXPECT_EQ(device, "") << "the default is opened as the system's default";
    EXPECT_EQ(Answer(outputs, {SDLK_DOWN, SDLK_RETURN}, device), platform::SoundChoice::Play);
    EXPECT_EQ(device, "Headphones");
    EXPECT_EQ(Answer(outputs, {SDLK_END, SDLK_DOWN, SDLK_UP, SDLK_RETURN}, device),
              platform::SoundChoice::Play);
    EXPECT_EQ(device, "Headphones") << "End, then Down stays on the last row";
    EXPECT_EQ(Answer(outputs, {SDLK_DOWN, SDLK_n}, device), platform::SoundChoice::NoSound);
    EXPECT_EQ(device, "");
    EXPECT_EQ(Answer(outputs, {SDLK_DOWN, SDLK_RIGHT, SDLK_RIGHT, SDLK_RETURN}, device),
              platform::SoundChoice::Cancel)
        << "left and right still walk the buttons";
    // Where the driver does not say which is the default, every row names its output.
    outputs.firstIsDefault = false;
    EXPECT_EQ(sdl::SoundDialogFor(outputs).items[0], "Speakers");
    EXPECT_EQ(Answer(outputs, {SDLK_RETURN}, device), platform::SoundChoice::Play);
    EXPECT_EQ(device, "Speakers");
    // One output: the question as it always was, the default opened.
    outputs.names = {"System audio output"};
    outputs.firstIsDefault = true;
    EXPECT_TRUE(sdl::SoundDialogFor(outputs).items.empty());
    EXPECT_EQ(sdl::SoundDialogFor(outputs).buttons[0].label, "Default output");
    EXPECT_EQ(Answer(outputs, {SDLK_DOWN, SDLK_LEFT, SDLK_RETURN}, device),
              platform::SoundChoice::Play)
        << "without a list the arrows walk the buttons";
    EXPECT_EQ(device, "");
}

TEST(DialogLayout, AListScrollsToItsSelectionBetweenTheTextAndTheButtons) {
    platform::Backend backend;
    backend.gdi.findFontFace = platform::FindFontconfigFace;
    platform::InstallBackend(backend);
    if (platform::AcquireSystemFont() == nullptr) {
        GTEST_SKIP() << "no font";
    }
    sdl::DialogBox box = SoundBox();
    for (int i = 0; i < sdl::kDialogListRows + 3; ++i) {
        box.items.push_back("Output " + std::to_string(i));
    }
    box.items[4] = "An output whose name is longer than anything else in the box by far";
    const sdl::DialogLayout layout = sdl::LayOutDialog(box);
    EXPECT_EQ(layout.rowsShown, sdl::kDialogListRows);
    EXPECT_GE(layout.list.y, layout.textY + static_cast<int>(layout.lines.size()) * 16);
    EXPECT_GE(layout.list.y + layout.list.h, layout.itemY + layout.rowsShown * layout.itemHeight);
    EXPECT_LE(layout.list.x + layout.list.w, layout.width);
    EXPECT_LE(layout.itemX + sdl::DialogTextWidth(box.items[4]), layout.list.x + layout.list.w)
        << "the longest name fits";
    for (const sdl::DialogRect& r : layout.buttons) {
        EXPECT_GE(r.y, layout.list.y + layout.list.h) << "buttons stand below the list";
        EXPECT_LE(r.y + r.h, layout.height);
    }
    sdl::DialogKeys keys(box);
    for (int i = 0; i < sdl::kDialogListRows; ++i) {
        keys.Press(SDLK_DOWN, false);
        EXPECT_EQ(keys.FirstShown(), std::max(0, keys.Item() - sdl::kDialogListRows + 1))
            << "the list scrolls by as little as keeps the selection in sight";
    }
    keys.Press(SDLK_END, false);
    EXPECT_EQ(keys.Item(), sdl::kDialogListRows + 2);
    EXPECT_EQ(keys.FirstShown(), 3);
    keys.Press(SDLK_PAGEUP, false);
    EXPECT_EQ(keys.Item(), 2);
    EXPECT_EQ(keys.FirstShown(), 2) << "going up, the selection is the first row";
    EXPECT_EQ(keys.Focus(), box.defaultButton) << "the list keys leave the buttons' focus";
}

} // namespace
