// The value types the ray tracer shares: points and directions, colours, rays and point lights.
#ifndef ZARVO_RAYTRACE_TYPES_H
#define ZARVO_RAYTRACE_TYPES_H

// A point or a direction in scene space: +x right, +y down, +z into the picture.
struct Vector {
    float x, y, z;
};

// Linear intensities: 0 is none and 1.0 is full.
struct Color {
    float r, g, b;
};

// A ray to be traced; every ray the tracer makes has a direction of unit length.
struct Ray {
    Vector origin;
    Vector direction;
};

// A point light, radiating equally in all directions, without fall-off.
struct Light {
    Vector position;
    Color color;
};

#endif
