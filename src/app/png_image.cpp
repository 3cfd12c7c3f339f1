// PNG output through libpng's simplified writing interface, which handles its own errors and
// can take the rows bottom-up.
#include "app/png_image.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>


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

struct PngStream {
    std::FILE* file = nullptr;
    png_structp png = nullptr;
    png_infop info = nullptr;
    bool failed = false;
};

// libpng's errors end in a jump back to the call that set it up; the stream then stays failed.
// Its default handler would also print a message of its own.
[[noreturn]] static void jumpBack(png_structp png, png_const_charp) { std::longjmp(png_jmpbuf(png), 1); }
static void ignoreWarning(png_structp, png_const_charp) {}

// The functions below call setjmp before any libpng call and own no object with a destructor,
// so the jump skips nothing that needs cleaning up.
static void startPng(PngStream* stream, int width, int height) {
    if (setjmp(png_jmpbuf(stream->png))) {
        stream->failed = true;
        return;
    }
    png_init_io(stream->png, stream->file);
    png_set_IHDR(stream->png, stream->info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(stream->png, stream->info);
}

PngStream* openPng(const std::string& path, int width, int height) {
    PngStream* stream = new PngStream;
    stream->file = std::fopen(path.c_str(), "wb");
    if (stream->file) stream->png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, jumpBack, ignoreWarning);
    if (stream->png) stream->info = png_create_info_struct(stream->png);
    stream->failed = !stream->info;
    if (!stream->failed) startPng(stream, width, height);
    return stream;
}

void writePngRows(PngStream* stream, const std::uint8_t* rows, int count) {
    if (stream->failed) return;
    if (setjmp(png_jmpbuf(stream->png))) {
        stream->failed = true;
        return;
    }
    const std::size_t rowBytes = png_get_rowbytes(stream->png, stream->info);
    for (int i = 0; i < count; ++i) png_write_row(stream->png, rows + i * rowBytes);
}

static void endPng(PngStream* stream) {
    if (setjmp(png_jmpbuf(stream->png))) {
        stream->failed = true;
        return;
    }
    png_write_end(stream->png, nullptr);
}

bool closePng(PngStream* stream) {
    if (!stream->failed) endPng(stream);
    if (stream->png) png_destroy_write_struct(&stream->png, &stream->info);
    if (stream->file && std::fclose(stream->file) != 0) stream->failed = true;
    const bool written = !stream->failed;
    delete stream;
    return written;
}
