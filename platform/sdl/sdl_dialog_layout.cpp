// Where the parts of a dialog box go, and what its keys do.
#include "sdl_dialog_layout.h"

#include "gdi_font.h"

#include <algorithm>
#include <cctype>

namespace sdl {

namespace {

constexpr int kMargin = 16;
constexpr int kButtonGap = 10;
constexpr int kButtonPadding = 24; // beside the widest label
constexpr int kMinButtonWidth = 88;
constexpr int kListBorder = 2;  // the sunken frame
constexpr int kItemPadding = 4; // beside a row's text

// Splits at '\n', then wraps each paragraph at spaces.
std::vector<std::string> WrapMessage(const std::string& message) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start <= message.size()) {
        const std::size_t end = std::min(message.find('\n', start), message.size());
        const std::string paragraph = message.substr(start, end - start);
        std::string line;
        std::size_t word = 0;
        while (word < paragraph.size()) {
            std::size_t next = paragraph.find(' ', word);
            if (next == std::string::npos) {
                next = paragraph.size();
            }
            const std::string piece = paragraph.substr(word, next - word);
            const std::string joined = line.empty() ? piece : line + ' ' + piece;
            if (!line.empty() && DialogTextWidth(joined) > kDialogTextWidth) {
                lines.push_back(line);
                line = piece;
            } else {
                line = joined;
            }
            word = next + 1;
        }
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

} // namespace

int DialogTextWidth(const std::string& text) {
    const platform::SystemFont* font = platform::AcquireSystemFont();
    if (font == nullptr) {
        return 0;
    }
    int width = 0;
    for (const char c : text) {
        width += font->glyphs[static_cast<unsigned char>(c)].advance;
    }
    return width;
}

DialogLayout LayOutDialog(const DialogBox& box) {
    const platform::SystemFont* font = platform::AcquireSystemFont();
    const int lineHeight = font != nullptr ? font->height : platform::kSystemFontPixels;
    DialogLayout layout;
    layout.lines = WrapMessage(box.message);
    int textWidth = 0;
    for (const std::string& line : layout.lines) {
        textWidth = std::max(textWidth, DialogTextWidth(line));
    }
    int buttonWidth = kMinButtonWidth;
    for (const DialogButton& button : box.buttons) {
        buttonWidth = std::max(buttonWidth, DialogTextWidth(button.label) + kButtonPadding);
    }
    const int count = static_cast<int>(box.buttons.size());
    const int rowWidth = count * buttonWidth + std::max(count - 1, 0) * kButtonGap;
    const int buttonHeight = lineHeight + 12;
    int listWidth = 0;
    for (const std::string& item : box.items) {
        listWidth = std::max(listWidth, DialogTextWidth(item) + 2 * (kListBorder + kItemPadding));
    }
    layout.width = std::max({textWidth, rowWidth, listWidth}) + 2 * kMargin;
    layout.textX = kMargin;
    layout.textY = kMargin;
    int buttonTop = kMargin + static_cast<int>(layout.lines.size()) * lineHeight + kMargin;
    if (!box.items.empty()) {
        layout.rowsShown = std::min(static_cast<int>(box.items.size()), kDialogListRows);
        layout.itemHeight = lineHeight + 2;
        layout.list = DialogRect{kMargin, buttonTop - kMargin / 2, layout.width - 2 * kMargin,
                                 layout.rowsShown * layout.itemHeight + 2 * kListBorder};
        layout.itemX = layout.list.x + kListBorder + kItemPadding;
        layout.itemY = layout.list.y + kListBorder;
        buttonTop = layout.list.y + layout.list.h + kMargin;
    }
    layout.height = buttonTop + buttonHeight + kMargin;
    int x = (layout.width - rowWidth) / 2;
    for (int i = 0; i < count; ++i) {
        layout.buttons.push_back(DialogRect{x, buttonTop, buttonWidth, buttonHeight});
        x += buttonWidth + kButtonGap;
    }
    return layout;
}

DialogKeys::DialogKeys(const DialogBox& box) : box_(box), focus_(box.defaultButton), item_(0) {
    SetItem(box.item);
}

void DialogKeys::SetItem(int item) {
    const int count = static_cast<int>(box_.items.size());
    if (count == 0) {
        return;
    }
    item_ = std::clamp(item, 0, count - 1);
    // The selection stays in sight, scrolling the list by as little as it takes.
    first_ = std::clamp(first_, std::max(item_ - kDialogListRows + 1, 0), item_);
}

void DialogKeys::SetFocus(int button) {
    if (button >= 0 && button < static_cast<int>(box_.buttons.size())) {
        focus_ = button;
    }
}

int DialogKeys::Press(SDL_Keycode key, bool shift) {
    const int count = static_cast<int>(box_.buttons.size());
    switch (key) {
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
    case SDLK_SPACE:
        return focus_;
    case SDLK_ESCAPE:
        return box_.escapeButton;
    case SDLK_TAB:
        focus_ = (focus_ + (shift ? count - 1 : 1)) % count;
        return -1;
    default:
        break;
    }
    if (!box_.items.empty()) {
        switch (key) {
        case SDLK_UP:
            SetItem(item_ - 1);
            return -1;
        case SDLK_DOWN:
            SetItem(item_ + 1);
            return -1;
        case SDLK_PAGEUP:
            SetItem(item_ - kDialogListRows);
            return -1;
        case SDLK_PAGEDOWN:
            SetItem(item_ + kDialogListRows);
            return -1;
        case SDLK_HOME:
            SetItem(0);
            return -1;
        case SDLK_END:
            SetItem(static_cast<int>(box_.items.size()) - 1);
            return -1;
        default:
            break;
        }
    }
    switch (key) {
    case SDLK_RIGHT:
    case SDLK_DOWN:
        focus_ = (focus_ + 1) % count;
        return -1;
    case SDLK_LEFT:
    case SDLK_UP:
        focus_ = (focus_ + count - 1) % count;
        return -1;
    default:
        break;
    }
    if (key >= 0 && key < 128 && std::isalpha(key)) {
        for (int i = 0; i < count; ++i) {
            const char letter = box_.buttons[i].accelerator;
            if (letter != 0 && std::tolower(letter) == std::tolower(key)) {
                focus_ = i;
                return i;
            }
        }
    }
    return -1;
}

} // namespace sdl
