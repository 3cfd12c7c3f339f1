// Colour rounding and PNG files read back through libpng: size, orientation, exact bytes.
#include "app/png_image.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

namespace {

TEST(PngImage, ColourBytesAreClampedAndRounded) {
    EXPECT_EQ(colourByte(0.0), 0);
    EXPECT_EQ(colourByte(-0.2), 0);
    EXPECT_EQ(colourByte(1.0), 255);
    EXPECT_EQ(colourByte(1.3), 255);
    EXPECT_EQ(colourByte(0.5), 128);          // 127.5 rounds up
    EXPECT_EQ(colourByte(0.1), 26);           // 25.5 rounds up
    EXPECT_EQ(colourByte(0.7), 179);          // 178.5 rounds up
    EXPECT_EQ(colourByte(1.0 / 255), 1);
    EXPECT_EQ(colourByte(0.49 / 255), 0);
    EXPECT_EQ(colourByte(std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_EQ(colourByte(std::numeric_limits<double>::infinity()), 255);
}

struct ReadBack {
    int width = 0, height = 0;
    std::vector<std::uint8_t> topDown;
};

ReadBack readPng(const std::string& path) {
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    ReadBack result;
    if (!png_image_begin_read_from_file(&png, path.c_str())) return result;
    png.format = PNG_FORMAT_RGB;
    result.topDown.resize(PNG_IMAGE_SIZE(png));
    if (!png_image_finish_read(&png, nullptr, result.topDown.data(), 0, nullptr)) return result;
    result.width = static_cast<int>(png.width);
    result.height = static_cast<int>(png.height);
    return result;
}

TEST(PngImage, RowZeroIsWrittenAtTheBottom) {
    RgbImage image = makeImage(3, 2);
    setPixel(image, 0, 0, {1, 0, 0});     // bottom left
    setPixel(image, 2, 0, {0, 1, 0});     // bottom right
    setPixel(image, 0, 1, {0, 0, 1});     // top left
    setPixel(image, 1, 1, {0.5, 0.1, 2}); // top middle
    const std::string path = testing::TempDir() + "quadray_png_image_test.png";
    ASSERT_TRUE(writePng(path, image));
    const ReadBack back = readPng(path);
    std::remove(path.c_str());
    ASSERT_EQ(back.width, 3);
    ASSERT_EQ(back.height, 2);
    const std::vector<std::uint8_t> expected{0, 0, 255, 128, 26, 255, 0, 0, 0,   // top row
                                             255, 0, 0, 0, 0, 0, 0, 255, 0};     // bottom row
    EXPECT_EQ(back.topDown, expected);
}

TEST(PngImage, UnwritablePathFails) {
    const RgbImage image = makeImage(1, 1);
    EXPECT_FALSE(writePng("/nonexistent-directory/picture.png", image));
}

}  // namespace
