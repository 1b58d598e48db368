// The size of the picture: the grid of traced cells, and the frame it is enlarged into.
#ifndef ZARVO_RAYTRACE_PICTURE_SIZE_H
#define ZARVO_RAYTRACE_PICTURE_SIZE_H

// The fixed grid of primary rays, one traced cell each.
constexpr int kGridColumns = 80;
constexpr int kGridRows = 50;
constexpr int kGridCells = kGridColumns * kGridRows;

// Each cell becomes a block of kEnlargement x kEnlargement pixels of the frame.
constexpr int kEnlargement = 4;
constexpr int kPictureWidth = kGridColumns * kEnlargement;
constexpr int kPictureHeight = kGridRows * kEnlargement;

#endif
