// PNG output through libpng's simplified writing interface, which handles its own errors and
// can take the rows bottom-up.
#include "app/png_image.h"

#include <png.h>


RgbImage makeImage(int width, int height) {
    RgbImage image;
    image.width = width;
    image.height = height;
    image.pixels.assign(static_cast<std::size_t>(width) * height * 3, 0);
    return image;
}

void setPixel(RgbImage& image, int x, int y, const Vector3& colour) {
    std::uint8_t* pixel = &image.pixels[(static_cast<std::size_t>(y) * image.width + x) * 3];
    pixel[0] = colourByte(colour.x);
    pixel[1] = colourByte(colour.y);
    pixel[2] = colourByte(colour.z);
}

bool writePng(const std::string& path, const RgbImage& image) {
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    png.width = static_cast<png_uint_32>(image.width);
    png.height = static_cast<png_uint_32>(image.height);
    png.format = PNG_FORMAT_RGB;
    // A negative stride tells libpng that the first row in memory is the bottom one.
    const png_int_32 stride = -static_cast<png_int_32>(image.width) * 3;
    const int written = png_image_write_to_file(&png, path.c_str(), 0, image.pixels.data(), stride, nullptr);
    png_image_free(&png);
    return written != 0;
}
