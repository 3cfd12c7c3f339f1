// Command lines of both programs: defaults, every option, and the messages for what is refused.
#include "app/options.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

namespace {

std::string parse(Program program, std::initializer_list<const char*> arguments, Options& options) {
    std::vector<const char*> argv{"program"};
    argv.insert(argv.end(), arguments);
    return parseOptions(program, static_cast<int>(argv.size()), argv.data(), options);
}

std::string problemWith(Program program, std::initializer_list<const char*> arguments) {
    Options options;
    return parse(program, arguments, options);
}

TEST(Options, NoArgumentsGiveTheWindowDefaults) {
    Options options;
    ASSERT_EQ(parse(Program::Render, {}, options), "");
    EXPECT_EQ(options.directory, "");
    EXPECT_EQ(options.sceneFile, "");
    EXPECT_EQ(options.threads, 0);
    EXPECT_EQ(options.width, 640);
    EXPECT_EQ(options.height, 480);
    EXPECT_EQ(options.qualityLevel, 1);
    EXPECT_EQ(options.mode, RenderMode::Quad);
    EXPECT_EQ(options.frames, 1);
    EXPECT_EQ(options.batches, 100);
    EXPECT_EQ(options.cameraMove, 0.0);
    EXPECT_TRUE(options.reload);
    EXPECT_FALSE(options.border || options.report || options.flatUnions || options.quiet || options.help);
}

TEST(Options, EveryRenderOptionIsRead) {
    Options options;
    ASSERT_EQ(parse(Program::Render,
                    {"--dir", "scenes/x", "--size", "33x17", "--quality", "0", "--mode", "frameless", "--frames",
                     "3", "--batches", "7", "--camera-move", "-2.5e1", "--border", "--out", "a.png", "--report",
                     "--threads", "7", "--flat-unions", "--quiet", "--mode", "full", "--size", "8192x2"},
                    options),
              "");
    EXPECT_EQ(options.directory, "scenes/x");
    EXPECT_EQ(options.width, 8192);
    EXPECT_EQ(options.height, 2);
    EXPECT_EQ(options.qualityLevel, 0);
    EXPECT_EQ(options.mode, RenderMode::Full);
    EXPECT_EQ(options.frames, 3);
    EXPECT_EQ(options.batches, 7);
    EXPECT_EQ(options.cameraMove, -25.0);
    EXPECT_EQ(options.outFile, "a.png");
    EXPECT_EQ(options.threads, 7);
    EXPECT_TRUE(options.border && options.report && options.flatUnions && options.quiet);
}

TEST(Options, WindowTakesASceneFileAndHandsFreeglutItsOwnOptions) {
    Options options;
    ASSERT_EQ(parse(Program::Window, {"-display", ":3", "scene.pov", "--no-reload", "-iconic", "--threads", "2"},
                    options),
              "");
    EXPECT_EQ(options.sceneFile, "scene.pov");
    EXPECT_FALSE(options.reload);
    EXPECT_EQ(options.threads, 2);
    EXPECT_EQ(options.glutArguments, (std::vector<std::string>{"-display", ":3", "-iconic"}));
}

TEST(Options, RefusedCommandLinesNameTheArgumentAndTheFault) {
    const struct {
        Program program;
        std::initializer_list<const char*> arguments;
        const char* problem;
    } cases[] = {
        {Program::Render, {"--bogus"}, "'--bogus' is not an option"},
        {Program::Render, {"--size=640x480"}, "'--size=640x480' is not an option"},
        {Program::Render, {"--size"}, "--size needs a value"},
        {Program::Render, {"--size", "640"}, "--size: '640' is not WIDTHxHEIGHT with sides from 1 to 8192"},
        {Program::Render, {"--size", "8193x2"}, "--size: '8193x2' is not WIDTHxHEIGHT with sides from 1 to 8192"},
        {Program::Render, {"--quality", "-1"}, "--quality: '-1' is not a quality level from 0 to 1000"},
        {Program::Render, {"--frames", "1.5"}, "--frames: '1.5' is not a positive whole number"},
        {Program::Render, {"--batches", "0"}, "--batches: '0' is not a positive whole number"},
        {Program::Render, {"--mode", "Quad"}, "--mode: 'Quad' is not quad, full or frameless"},
        {Program::Render, {"--camera-move", "nan"}, "--camera-move: 'nan' is not a finite number"},
        {Program::Render, {"--out", "picture.jpg"}, "--out: 'picture.jpg' does not end in .png"},
        {Program::Render, {"--out", ""}, "--out: '' does not end in .png"},
        {Program::Render, {"--dir", ""}, "--dir: needs a directory"},
        {Program::Render, {"--threads", "0"}, "--threads: '0' is not a thread count from 1 to 1024"},
        {Program::Render, {"a.pov", "b.pov"}, "'b.pov': only one scene file can be given"},
        {Program::Render, {"--dir", "x", "a.pov"}, "--dir and a scene file cannot both be given"},
        {Program::Render, {"-display", ":0"}, "'-display' is not an option"},
        {Program::Window, {"--size", "8x8"}, "'--size' is not an option"},
        {Program::Window, {"-geometry"}, "-geometry needs a value"},
    };
    for (const auto& c : cases) EXPECT_EQ(problemWith(c.program, c.arguments), c.problem) << *c.arguments.begin();
}

TEST(Options, UsageNamesEveryOptionOfItsProgram) {
    const std::string window = usageText(Program::Window), render = usageText(Program::Render);
    EXPECT_EQ(window.rfind("usage: quadray [options] [FILE]\n", 0), 0u);
    EXPECT_EQ(render.rfind("usage: quadray-render [options] [FILE]\n", 0), 0u);
    for (const char* option : {"--dir", "--threads", "--flat-unions", "--quiet", "--help", "--no-reload", "-display"})
        EXPECT_NE(window.find(option), std::string::npos) << option;
    for (const char* option : {"--size", "--quality", "--mode", "--frames", "--batches", "--camera-move", "--border",
                               "--out", "--report", "--threads"})
        EXPECT_NE(render.find(option), std::string::npos) << option;
}

}  // namespace
