// Eight-bit RGB pictures as OpenGL reads them back (row 0 at the bottom), and their writing as
// PNG files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "math/vector.h"
#include "render/supersample.h"

struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;  // 3 bytes per pixel, rows from the bottom up
};

RgbImage makeImage(int width, int height);

// Stores colour at column x and row y (counted from the bottom).
void setPixel(RgbImage& image, int x, int y, const Vector3& colour);

// Writes the picture with its top row first, as PNG expects; false when the file cannot be
// written.
bool writePng(const std::string& path, const RgbImage& image);
