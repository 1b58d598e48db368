// The SDL backend's modal dialog: a small window with a message and a row of buttons, drawn with
// the system-style font, usable from the keyboard alone.
//
//   RunDialogBox  shows the box, waits for a choice and closes it; returns the chosen button's
//                 index, the escape button's index when the box is closed from the title bar,
//                 or -1 with `error` set when no box could be shown (no video, no window, no
//                 font). A box with items shows them in a list between the message and the
//                 buttons; `pickedItem` gets the one selected when the box closes. Events of other
//                 windows that arrive meanwhile are dropped, as a modal box keeps them from their
//                 window.
// Keys: Tab, Shift+Tab and the arrow keys move the focus (with a list, Up and Down move its
// selection instead, and Home and End go to its ends); Enter or Space press the focused button
// (the default one at first); Escape presses the escape button; a button's underlined letter
// presses it. A button goes off when its key is released, or the mouse is released over it.
// Main thread only; SDL's video must be initialised.
#ifndef ZARVO_PLATFORM_SDL_SDL_DIALOG_BOX_H
#define ZARVO_PLATFORM_SDL_SDL_DIALOG_BOX_H

#include <string>
#include <vector>

struct SDL_Window;

namespace sdl {

struct DialogButton {
    std::string label;
    char accelerator; // the letter that presses it (shown underlined), or 0
};

struct DialogBox {
    std::string title;
    std::string message; // lines separated by '\n', wrapped to the box's width
    std::vector<DialogButton> buttons;
    int defaultButton = 0;          // focused at first
    int escapeButton = 0;           // pressed by Escape and by closing the box
    SDL_Window* owner = nullptr;    // kept below the box while it is shown, or null
    std::vector<std::string> items; // a list to pick one from, or none
    int item = 0;                   // selected at first
};

int RunDialogBox(const DialogBox& box, std::string& error, int* pickedItem = nullptr);

} // namespace sdl

#endif
