// The fixed 80 x 50 grid of primary rays from the eye at (0, 0, -40), built once at start-up.
#ifndef ZARVO_RAYTRACE_PRIMARY_RAYS_H
#define ZARVO_RAYTRACE_PRIMARY_RAYS_H

#include "raytrace/picture_size.h"
#include "raytrace/types.h"

// Row by row from the top-left cell: the ray of column j and row i has index i * 80 + j.
// Written only by InitPrimaryRays.
extern Ray PrimaryRays[kGridCells];

// Fills PrimaryRays: origin (0, 0, -40), direction (j - 40, i - 25, 40) normalised, and the
// packed copy of them that the fast renderer reads (ray_packets.h); so the grid must not be
// written any other way.
void InitPrimaryRays();

#endif
