// Where the 320x200 picture goes on the screen: the largest centred 4:3 rectangle.
#include "sdl_presenter.h"

#include <SDL.h>
#include <gtest/gtest.h>

namespace {

SDL_Rect Fit(int width, int height) {
    SDL_Rect rect{};
    sdl::FitFourByThree(width, height, &rect);
    return rect;
}

void ExpectRect(const SDL_Rect& rect, int x, int y, int w, int h) {
    EXPECT_EQ(rect.x, x);
    EXPECT_EQ(rect.y, y);
    EXPECT_EQ(rect.w, w);
    EXPECT_EQ(rect.h, h);
}

TEST(Presenter, WideScreensGetBlackBarsLeftAndRight) {
    ExpectRect(Fit(1920, 1080), 240, 0, 1440, 1080);
    ExpectRect(Fit(2560, 1440), 320, 0, 1920, 1440);
}

TEST(Presenter, TallScreensGetBarsAboveAndBelow) {
    ExpectRect(Fit(1280, 1024), 0, 32, 1280, 960);
}

TEST(Presenter, FourByThreeScreensAreFilled) {
    ExpectRect(Fit(800, 600), 0, 0, 800, 600);
    ExpectRect(Fit(1024, 768), 0, 0, 1024, 768);
}

TEST(Presenter, TinyOutputsStayInside) {
    const SDL_Rect rect = Fit(3, 1);
    EXPECT_GE(rect.x, 0);
    EXPECT_LE(rect.x + rect.w, 3);
    EXPECT_LE(rect.h, 1);
}

} // namespace
