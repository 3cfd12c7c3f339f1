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

// A PNG file written a few rows at a time, top row first, for pictures too large to hold.
struct PngStream;

// Opens path for a width × height picture. Failures show only when the stream is closed.
PngStream* openPng(const std::string& path, int width, int height);
// Writes count rows of 3 bytes a pixel, top row first.
void writePngRows(PngStream* stream, const std::uint8_t* rows, int count);
// Finishes the file and frees the stream; false when anything could not be written.
bool closePng(PngStream* stream);
