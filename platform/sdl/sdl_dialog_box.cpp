// The SDL backend's modal dialog: layout, drawing with the system-style font, and its event loop.
//
// The box is drawn by us rather than by SDL's message box, which on X11 needs the server's core
// fonts (absent from a fresh machine) and offers no keyboard road to a button that is neither the
// Enter nor the Escape one.
#include "sdl_dialog_box.h"
#include "sdl_dialog_layout.h"

#include "gdi_context.h"
#include "gdi_font.h"

#include <SDL.h>

#include <algorithm>
#include <cctype>
#include <cstdint>

namespace sdl {

namespace {

// The period's dialog colours, as 0x00RRGGBB.
constexpr std::uint32_t kFace = 0xD4D0C8;
constexpr std::uint32_t kLight = 0xFFFFFF;
constexpr std::uint32_t kShadow = 0x808080;
constexpr std::uint32_t kDarkShadow = 0x404040;
constexpr std::uint32_t kInk = 0x000000;
constexpr std::uint32_t kWindow = 0xFFFFFF;    // a list's ground
constexpr std::uint32_t kHighlight = 0x000080; // the selected row

struct Canvas {
    std::vector<std::uint32_t> pixels;
    int width = 0;
    int height = 0;

    void Fill(int left, int top, int right, int bottom, std::uint32_t colour) {
        left = std::max(left, 0);
        top = std::max(top, 0);
        right = std::min(right, width);
        bottom = std::min(bottom, height);
        for (int y = top; y < bottom; ++y) {
            std::fill(pixels.begin() + y * width + left,
                      pixels.begin() + y * width + std::max(left, right), colour);
        }
    }
};

void DrawString(HDC dc, int x, int y, const std::string& text) {
    platform::DrawText(dc, x, y, text.data(), static_cast<int>(text.size()));
}

void DrawButton(Canvas& canvas, HDC dc, const DialogRect& r, const DialogButton& button,
                bool focused, bool isDefault, bool pressed) {
    int left = r.x, top = r.y, right = r.x + r.w, bottom = r.y + r.h;
    if (isDefault) { // the default button carries a black frame
        canvas.Fill(left, top, right, top + 1, kInk);
        canvas.Fill(left, bottom - 1, right, bottom, kInk);
        canvas.Fill(left, top, left + 1, bottom, kInk);
        canvas.Fill(right - 1, top, right, bottom, kInk);
        ++left, ++top, --right, --bottom;
    }
    const std::uint32_t outerLit = pressed ? kDarkShadow : kLight;
    const std::uint32_t outerDark = pressed ? kLight : kDarkShadow;
    canvas.Fill(left, top, right, top + 1, outerLit);
    canvas.Fill(left, top, left + 1, bottom, outerLit);
    canvas.Fill(left, bottom - 1, right, bottom, outerDark);
    canvas.Fill(right - 1, top, right, bottom, outerDark);
    if (!pressed) {
        canvas.Fill(left + 1, bottom - 2, right - 1, bottom - 1, kShadow);
        canvas.Fill(right - 2, top + 1, right - 1, bottom - 1, kShadow);
    }
    const platform::SystemFont* font = platform::AcquireSystemFont();
    const int textWidth = DialogTextWidth(button.label);
    const int shift = pressed ? 1 : 0;
    const int textX = r.x + (r.w - textWidth) / 2 + shift;
    const int textY = r.y + (r.h - font->height) / 2 + shift;
    DrawString(dc, textX, textY, button.label);
    // The accelerator's letter is underlined, as the period's buttons showed it.
    const auto at = button.accelerator == 0
                        ? std::string::npos
                        : button.label.find_first_of(
                              std::string{static_cast<char>(std::toupper(button.accelerator)),
                                          static_cast<char>(std::tolower(button.accelerator))});
    if (at != std::string::npos) {
        const int underX = textX + DialogTextWidth(button.label.substr(0, at));
        const int underW = font->glyphs[static_cast<unsigned char>(button.label[at])].advance;
        canvas.Fill(underX, textY + font->ascent + 2, underX + underW, textY + font->ascent + 3,
                    kInk);
    }
    if (focused) { // a dotted focus frame inside the button
        const int fl = r.x + 4, ft = r.y + 4, fr = r.x + r.w - 4, fb = r.y + r.h - 4;
        for (int x = fl; x < fr; x += 2) {
            canvas.Fill(x, ft, x + 1, ft + 1, kInk);
            canvas.Fill(x, fb - 1, x + 1, fb, kInk);
        }
        for (int y = ft; y < fb; y += 2) {
            canvas.Fill(fl, y, fl + 1, y + 1, kInk);
            canvas.Fill(fr - 1, y, fr, y + 1, kInk);
        }
    }
}

// A sunken white list with the selected row highlighted, scrolled to `first`.
void DrawList(Canvas& canvas, HDC dc, const DialogBox& box, const DialogLayout& layout, int item,
              int first) {
    const DialogRect& r = layout.list;
    const int left = r.x, top = r.y, right = r.x + r.w, bottom = r.y + r.h;
    canvas.Fill(left, top, right, top + 1, kShadow);
    canvas.Fill(left, top, left + 1, bottom, kShadow);
    canvas.Fill(left, bottom - 1, right, bottom, kLight);
    canvas.Fill(right - 1, top, right, bottom, kLight);
    canvas.Fill(left + 1, top + 1, right - 1, top + 2, kDarkShadow);
    canvas.Fill(left + 1, top + 1, left + 2, bottom - 1, kDarkShadow);
    canvas.Fill(left + 2, top + 2, right - 1, bottom - 1, kWindow);
    const platform::SystemFont* font = platform::AcquireSystemFont();
    for (int row = 0; row < layout.rowsShown; ++row) {
        const int index = first + row;
        if (index >= static_cast<int>(box.items.size())) {
            break;
        }
        const int y = layout.itemY + row * layout.itemHeight;
        const bool selected = index == item;
        if (selected) {
            canvas.Fill(left + 2, y, right - 2, y + layout.itemHeight, kHighlight);
        }
        platform::SetContextTextColor(dc, selected ? 0xFFFFFF : 0x000000);
        DrawString(dc, layout.itemX, y + (layout.itemHeight - font->height) / 2,
                   box.items[static_cast<std::size_t>(index)]);
    }
    platform::SetContextTextColor(dc, 0x000000);
}

void DrawBox(Canvas& canvas, const DialogBox& box, const DialogLayout& layout, int focus,
             int pressed, int item, int first) {
    canvas.Fill(0, 0, canvas.width, canvas.height, kFace);
    HDC dc =
        platform::CreateGdiContext(canvas.pixels.data(), canvas.width, canvas.height, canvas.width);
    platform::SetContextBackMode(dc, TRANSPARENT);
    platform::SetContextTextColor(dc, 0x000000);
    const platform::SystemFont* font = platform::AcquireSystemFont();
    for (std::size_t i = 0; i < layout.lines.size(); ++i) {
        DrawString(dc, layout.textX, layout.textY + static_cast<int>(i) * font->height,
                   layout.lines[i]);
    }
    if (!box.items.empty()) {
        DrawList(canvas, dc, box, layout, item, first);
    }
    for (std::size_t i = 0; i < box.buttons.size(); ++i) {
        const int index = static_cast<int>(i);
        DrawButton(canvas, dc, layout.buttons[i], box.buttons[i], index == focus,
                   index == box.defaultButton, index == pressed);
    }
    platform::DestroyGdiContext(dc);
}

bool Present(SDL_Window* window, const Canvas& canvas) {
    SDL_Surface* target = SDL_GetWindowSurface(window);
    if (target == nullptr) {
        return false;
    }
    SDL_Surface* source = SDL_CreateRGBSurfaceWithFormatFrom(
        const_cast<std::uint32_t*>(canvas.pixels.data()), canvas.width, canvas.height, 32,
        canvas.width * 4, SDL_PIXELFORMAT_RGB888);
    if (source == nullptr) {
        return false;
    }
    const bool drawn = SDL_BlitSurface(source, nullptr, target, nullptr) == 0 &&
                       SDL_UpdateWindowSurface(window) == 0;
    SDL_FreeSurface(source);
    return drawn;
}

int ButtonAt(const DialogLayout& layout, int x, int y) {
    for (std::size_t i = 0; i < layout.buttons.size(); ++i) {
        const DialogRect& r = layout.buttons[i];
        if (x >= r.x && x < r.x + r.w && y >= r.y && y < r.y + r.h) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

// The list's row under a point, or -1.
int ItemAt(const DialogLayout& layout, int first, int count, int x, int y) {
    if (layout.rowsShown == 0 || x < layout.list.x || x >= layout.list.x + layout.list.w ||
        y < layout.itemY) {
        return -1;
    }
    const int row = (y - layout.itemY) / layout.itemHeight;
    return row < layout.rowsShown && first + row < count ? first + row : -1;
}

} // namespace

int RunDialogBox(const DialogBox& box, std::string& error, int* pickedItem) {
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0) {
        error = "no video";
        return -1;
    }
    if (platform::AcquireSystemFont() == nullptr) {
        error = "no font to draw it with";
        return -1;
    }
    if (box.buttons.empty()) {
        error = "no buttons";
        return -1;
    }
    const DialogLayout layout = LayOutDialog(box);
    // The box's surface goes to the window system as it is: SDL would otherwise draw it through
    // an OpenGL renderer of its own, which adds to the start and, where OpenGL is broken, ends
    // the program with an X error.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    SDL_Window* window =
        SDL_CreateWindow(box.title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                         layout.width, layout.height, SDL_WINDOW_SHOWN | SDL_WINDOW_ALWAYS_ON_TOP);
    if (window == nullptr) {
        error = SDL_GetError();
        return -1;
    }
    if (box.owner != nullptr) {
        SDL_SetWindowModalFor(window, box.owner);
    }
    SDL_RaiseWindow(window);
    const Uint32 id = SDL_GetWindowID(window);
    Canvas canvas;
    canvas.width = layout.width;
    canvas.height = layout.height;
    canvas.pixels.assign(static_cast<std::size_t>(layout.width) * layout.height, kFace);
    DialogKeys keys(box);
    int pressed = -1;                    // the button held down by the mouse or a key
    SDL_Keycode armedKey = SDLK_UNKNOWN; // the key holding it, or none for the mouse
    int answer = -1;
    bool dirty = true;
    while (answer < 0) {
        if (dirty) {
            DrawBox(canvas, box, layout, keys.Focus(), pressed, keys.Item(), keys.FirstShown());
            if (!Present(window, canvas)) {
                error = SDL_GetError();
                break;
            }
            dirty = false;
        }
        SDL_Event event;
        if (SDL_WaitEvent(&event) == 0) {
            error = SDL_GetError();
            break;
        }
        switch (event.type) {
        case SDL_QUIT:
            answer = box.escapeButton;
            break;
        case SDL_KEYDOWN:
            if (event.key.windowID == id && event.key.repeat == 0) {
                const int button =
                    keys.Press(event.key.keysym.sym, (event.key.keysym.mod & KMOD_SHIFT) != 0);
                if (button >= 0) {
                    armedKey = event.key.keysym.sym;
                    pressed = button;
                }
                dirty = true;
            }
            break;
        case SDL_KEYUP:
            // A key's button goes off on its release, so the release does not outlive the box
            // and leave the key held down for the window that comes next.
            if (event.key.windowID == id && pressed >= 0 && event.key.keysym.sym == armedKey) {
                answer = pressed;
            }
            break;
        case SDL_MOUSEBUTTONDOWN:
            if (event.button.windowID == id && event.button.button == SDL_BUTTON_LEFT) {
                const int item =
                    ItemAt(layout, keys.FirstShown(), static_cast<int>(box.items.size()),
                           event.button.x, event.button.y);
                if (item >= 0) {
                    keys.SetItem(item);
                }
                pressed = ButtonAt(layout, event.button.x, event.button.y);
                armedKey = SDLK_UNKNOWN;
                if (pressed >= 0) {
                    keys.SetFocus(pressed);
                }
                dirty = true;
            }
            break;
        case SDL_MOUSEBUTTONUP:
            if (event.button.windowID == id && event.button.button == SDL_BUTTON_LEFT &&
                armedKey == SDLK_UNKNOWN) {
                if (pressed >= 0 && ButtonAt(layout, event.button.x, event.button.y) == pressed) {
                    answer = pressed;
                }
                pressed = -1;
                dirty = true;
            }
            break;
        case SDL_WINDOWEVENT:
            if (event.window.windowID == id) {
                if (event.window.event == SDL_WINDOWEVENT_CLOSE) {
                    answer = box.escapeButton;
                } else if (event.window.event == SDL_WINDOWEVENT_EXPOSED ||
                           event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
                    dirty = true;
                }
            }
            break;
        case SDL_MOUSEWHEEL:
            if (event.wheel.windowID == id && event.wheel.y != 0) {
                keys.SetItem(keys.Item() - event.wheel.y);
                dirty = true;
            }
            break;
        default:
            break;
        }
    }
    SDL_DestroyWindow(window);
    if (pickedItem != nullptr) {
        *pickedItem = keys.Item();
    }
    return answer;
}

} // namespace sdl
