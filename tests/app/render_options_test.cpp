// Command line of the headless renderer: defaults, every option, and the values it refuses.
#include "app/render_options.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

namespace {

bool parse(std::initializer_list<const char*> arguments, RenderOptions& options) {
    std::vector<const char*> argv{"quadray-render"};
    argv.insert(argv.end(), arguments);
    return parseRenderOptions(static_cast<int>(argv.size()), argv.data(), options);
}

bool accepts(std::initializer_list<const char*> arguments) {
    RenderOptions options;
    return parse(arguments, options);
}

TEST(RenderOptions, NoArgumentsGiveTheWindowDefaults) {
    RenderOptions options;
    ASSERT_TRUE(parse({}, options));
    EXPECT_EQ(options.directory, "");
    EXPECT_EQ(options.width, 640);
    EXPECT_EQ(options.height, 480);
    EXPECT_EQ(options.qualityLevel, 1);
    EXPECT_EQ(options.mode, RenderMode::Quad);
    EXPECT_EQ(options.frames, 1);
    EXPECT_EQ(options.batches, 100);
    EXPECT_EQ(options.cameraMove, 0.0);
    EXPECT_FALSE(options.border);
    EXPECT_EQ(options.outFile, "");
    EXPECT_FALSE(options.report);
}

TEST(RenderOptions, EveryOptionIsRead) {
    RenderOptions options;
    ASSERT_TRUE(parse({"--dir", "scenes/x", "--size", "33x17", "--quality", "0", "--mode", "frameless",
                       "--frames", "3", "--batches", "7", "--camera-move", "-2.5e1", "--border", "--out",
                       "a.png", "--report"},
                      options));
    EXPECT_EQ(options.directory, "scenes/x");
    EXPECT_EQ(options.width, 33);
    EXPECT_EQ(options.height, 17);
    EXPECT_EQ(options.qualityLevel, 0);
    EXPECT_EQ(options.mode, RenderMode::Frameless);
    EXPECT_EQ(options.frames, 3);
    EXPECT_EQ(options.batches, 7);
    EXPECT_EQ(options.cameraMove, -25.0);
    EXPECT_TRUE(options.border);
    EXPECT_EQ(options.outFile, "a.png");
    EXPECT_TRUE(options.report);
}

TEST(RenderOptions, ModesAndRepeatedOptions) {
    RenderOptions options;
    ASSERT_TRUE(parse({"--mode", "full", "--size", "1x1", "--size", "8192x2"}, options));
    EXPECT_EQ(options.mode, RenderMode::Full);
    EXPECT_EQ(options.width, 8192);
    EXPECT_EQ(options.height, 2);
    ASSERT_TRUE(parse({"--mode", "quad"}, options));
    EXPECT_EQ(options.mode, RenderMode::Quad);
}

TEST(RenderOptions, RefusesUnknownOptionsAndStrayWords) {
    EXPECT_FALSE(accepts({"--help"}));
    EXPECT_FALSE(accepts({"scene"}));
    EXPECT_FALSE(accepts({"--size=640x480"}));
    EXPECT_FALSE(accepts({"-s", "640x480"}));
    EXPECT_FALSE(accepts({"--border", "yes"}));
}

TEST(RenderOptions, RefusesMissingValues) {
    for (const char* option : {"--dir", "--size", "--quality", "--mode", "--frames", "--batches",
                               "--camera-move", "--out"}) {
        EXPECT_FALSE(accepts({option})) << option;
        EXPECT_FALSE(accepts({option, ""})) << option;
    }
}

TEST(RenderOptions, RefusesMalformedSizes) {
    for (const char* size : {"640", "640x", "x480", "640X480", "640x480x2", " 640x480", "640x480 ", "+640x480",
                             "-640x480", "0x480", "640x0", "8193x2", "1x99999999999", "6.4x4"}) {
        EXPECT_FALSE(accepts({"--size", size})) << size;
    }
}

TEST(RenderOptions, RefusesNumbersOutOfRangeOrWithTrailingText) {
    EXPECT_FALSE(accepts({"--quality", "-1"}));
    EXPECT_FALSE(accepts({"--quality", "1001"}));
    EXPECT_TRUE(accepts({"--quality", "1000"}));
    EXPECT_FALSE(accepts({"--quality", "2a"}));
    EXPECT_FALSE(accepts({"--frames", "0"}));
    EXPECT_FALSE(accepts({"--frames", "4294967296"}));
    EXPECT_FALSE(accepts({"--batches", "0"}));
    EXPECT_FALSE(accepts({"--mode", "Quad"}));
    EXPECT_FALSE(accepts({"--camera-move", "nan"}));
    EXPECT_FALSE(accepts({"--camera-move", "inf"}));
    EXPECT_FALSE(accepts({"--camera-move", "1e999"}));
    EXPECT_FALSE(accepts({"--camera-move", "3m"}));
    EXPECT_TRUE(accepts({"--camera-move", "-0.5"}));
}

TEST(RenderOptions, UsageIsOneLine) {
    const std::string usage = RENDER_USAGE;
    EXPECT_EQ(usage.find('\n'), std::string::npos);
    EXPECT_EQ(usage.rfind("usage: quadray-render ", 0), 0u);
}

}  // namespace
