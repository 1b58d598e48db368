// Where the parts of a dialog box go, and what its keys do; no window needed.
//
//   LayOutDialog     wraps the message at spaces to at most kDialogTextWidth pixels (a word
//                    longer than that stands alone on its line) and places the lines above a
//                    centred row of equal buttons, with the list of items (at most
//                    kDialogListRows rows shown) between the two
//   DialogTextWidth  a text's width in the system-style font (0 when no font is loaded)
//   DialogKeys       the focus, the list's selection and its first row shown, and the key
//                    presses: Press returns the index of the button a key presses, or -1 when it
//                    only moves the focus or the selection, or does nothing
#ifndef ZARVO_PLATFORM_SDL_SDL_DIALOG_LAYOUT_H
#define ZARVO_PLATFORM_SDL_SDL_DIALOG_LAYOUT_H

#include "sdl_dialog_box.h"

#include <SDL_keycode.h>

#include <string>
#include <vector>

namespace sdl {

constexpr int kDialogTextWidth = 560;
constexpr int kDialogListRows = 6;

struct DialogRect {
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;
};

struct DialogLayout {
    int width = 0;
    int height = 0;
    int textX = 0;
    int textY = 0;
    std::vector<std::string> lines;
    std::vector<DialogRect> buttons;
    DialogRect list; // the list's frame (empty without items)
    int itemX = 0;   // where a row's text starts
    int itemY = 0;   // the first row shown
    int itemHeight = 0;
    int rowsShown = 0;
};

int DialogTextWidth(const std::string& text);
DialogLayout LayOutDialog(const DialogBox& box);

class DialogKeys {
  public:
    explicit DialogKeys(const DialogBox& box);
    int Focus() const {
        return focus_;
    }
    void SetFocus(int button);
    int Item() const {
        return item_;
    }
    int FirstShown() const {
        return first_;
    }
    void SetItem(int item);
    int Press(SDL_Keycode key, bool shift);

  private:
    const DialogBox& box_;
    int focus_;
    int item_;
    int first_ = 0;
};

} // namespace sdl

#endif
