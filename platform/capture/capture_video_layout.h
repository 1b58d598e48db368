// Where the 320x200 picture goes in a video frame, and how it is enlarged to get there.
//
// The picture fills the largest 4:3 rectangle of the frame, centred on black (a 16:9 frame gets
// bars left and right). It is enlarged in two steps: by whole factors first (every
// pixel repeated, so every pixel stays equally wide), to the smallest such size that reaches the
// rectangle, then by one smooth step down to the rectangle when the factors are not exact
// (1440x1080 is 4.5 x 5.4: 1600x1200, then smoothed to 1440x1080), so no row or column comes out
// thicker than its neighbours. The native size 320x200 is the picture itself.
//
//   IsVideoSize  the sizes a video can have: 320x200, or 4:3 or 16:9 with even sides from
//                640 to 7680 wide (the 16:9 ones: 640x360, 1280x720, 1920x1080, 2560x1440,
//                3840x2160, ...)
//   LayoutFor    the placement and the two steps for a size IsVideoSize accepts
#ifndef ZARVO_PLATFORM_CAPTURE_CAPTURE_VIDEO_LAYOUT_H
#define ZARVO_PLATFORM_CAPTURE_CAPTURE_VIDEO_LAYOUT_H

namespace capture {

constexpr int kFrameWidth = 320;
constexpr int kFrameHeight = 200;

struct VideoLayout {
    int width = kFrameWidth; // the video frame
    int height = kFrameHeight;
    int pictureWidth = kFrameWidth; // the picture's rectangle in it
    int pictureHeight = kFrameHeight;
    int left = 0;
    int top = 0;
    int enlargedWidth = kFrameWidth; // after the whole-number enlargement
    int enlargedHeight = kFrameHeight;

    bool Native() const {
        return width == kFrameWidth && height == kFrameHeight;
    }
    bool SmoothStep() const {
        return enlargedWidth != pictureWidth || enlargedHeight != pictureHeight;
    }
    bool Bars() const {
        return pictureWidth != width || pictureHeight != height;
    }
};

bool IsVideoSize(long long width, long long height);

VideoLayout LayoutFor(int width, int height);

} // namespace capture

#endif
