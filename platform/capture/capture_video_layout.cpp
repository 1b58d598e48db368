// The picture's place and enlargement in a video frame.
#include "capture_video_layout.h"

namespace capture {

static constexpr long long kMinSide = 640;
static constexpr long long kMaxSide = 7680;

bool IsVideoSize(long long width, long long height) {
    if (width == kFrameWidth && height == kFrameHeight) {
        return true;
    }
    if (width < kMinSide || width > kMaxSide || width % 2 != 0 || height % 2 != 0) {
        return false;
    }
    // 16:9 sides are multiples of 16 and 9; the 4:3 rectangle inside is then 12 x (h/9) wide and
    // each bar 2 x (h/9): whole, even numbers of pixels.
    return width * 3 == height * 4 || width * 9 == height * 16;
}

static int WholeFactor(int target, int side) {
    const int factor = (target + side - 1) / side;
    return factor > 0 ? factor : 1;
}

VideoLayout LayoutFor(int width, int height) {
    VideoLayout layout;
    layout.width = width;
    layout.height = height;
    if (layout.Native()) {
        return layout;
    }
    layout.pictureHeight = height;
    layout.pictureWidth = height * 4 / 3;
    if (layout.pictureWidth > width) {
        layout.pictureWidth = width;
        layout.pictureHeight = width * 3 / 4;
    }
    layout.left = (width - layout.pictureWidth) / 2;
    layout.top = (height - layout.pictureHeight) / 2;
    layout.enlargedWidth = kFrameWidth * WholeFactor(layout.pictureWidth, kFrameWidth);
    layout.enlargedHeight = kFrameHeight * WholeFactor(layout.pictureHeight, kFrameHeight);
    return layout;
}

} // namespace capture
