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
    EXPECT_EQ(options.samples, 1);
    EXPECT_EQ(options.depth, 5);
    EXPECT_EQ(options.animateFrames, 0);
    EXPECT_TRUE(options.reload && options.refine);
    EXPECT_FALSE(options.border || options.report || options.flatUnions || options.quiet || options.help ||
                 options.version || options.pick || options.region || options.frameRange);
    Options window;
    ASSERT_EQ(parse(Program::Window, {}, window), "");
    EXPECT_EQ(window.samples, 16);
    EXPECT_EQ(window.duration, 10.0);
}

TEST(Options, EveryRenderOptionIsRead) {
    Options options;
    ASSERT_EQ(parse(Program::Render,
                    {"--dir", "scenes/x", "--size", "33x17", "--quality", "0", "--mode", "frameless", "--frames",
                     "3", "--batches", "7", "--camera-move", "-2.5e1", "--border", "--out", "a.png", "--report",
                     "--threads", "7", "--flat-unions", "--quiet", "--mode", "full", "--size", "16384x2",
                     "--samples", "256", "--depth", "0", "--region", "3,0,16384,2", "--animate", "9", "--pick", "0,1"},
                    options),
              "");
    EXPECT_EQ(options.directory, "scenes/x");
    EXPECT_EQ(options.width, 16384);
    EXPECT_EQ(options.height, 2);
    EXPECT_EQ(options.qualityLevel, 0);
    EXPECT_EQ(options.mode, RenderMode::Full);
    EXPECT_EQ(options.frames, 3);
    EXPECT_EQ(options.batches, 7);
    EXPECT_EQ(options.cameraMove, -25.0);
    EXPECT_EQ(options.outFile, "a.png");
    EXPECT_EQ(options.threads, 7);
    EXPECT_TRUE(options.border && options.report && options.flatUnions && options.quiet);
    EXPECT_EQ(options.samples, 256);
    EXPECT_EQ(options.depth, 0);
    EXPECT_TRUE(options.region && options.pick);
    EXPECT_EQ(std::vector<int>({options.regionX0, options.regionY0, options.regionX1, options.regionY1}),
              std::vector<int>({3, 0, 16384, 2}));
    EXPECT_EQ(options.pickX, 0);
    EXPECT_EQ(options.pickY, 1);
    EXPECT_EQ(options.firstFrame, 0);
    EXPECT_EQ(options.lastFrame, 8);

    ASSERT_EQ(parse(Program::Render, {"--animate", "9", "--frame-range", "2-2"}, options), "");
    EXPECT_EQ(options.firstFrame, 2);
    EXPECT_EQ(options.lastFrame, 2);
}

TEST(Options, VersionIsAnsweredBeforeAnythingThatFollows) {
    Options options;
    ASSERT_EQ(parse(Program::Render, {"--version", "--bogus"}, options), "");
    EXPECT_TRUE(options.version);
}

TEST(Options, WindowTakesASceneFileAndHandsFreeglutItsOwnOptions) {
    Options options;
    ASSERT_EQ(parse(Program::Window,
                    {"-display", ":3", "scene.pov", "--no-reload", "-iconic", "--threads", "2", "--no-refine",
                     "--samples", "4", "--duration", "2.5", "--depth", "9"},
                    options),
              "");
    EXPECT_FALSE(options.refine);
    EXPECT_EQ(options.samples, 4);
    EXPECT_EQ(options.duration, 2.5);
    EXPECT_EQ(options.depth, 9);
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
        {Program::Render, {"--size", "640"}, "--size: '640' is not WIDTHxHEIGHT with sides from 1 to 16384"},
        {Program::Render, {"--size", "16385x2", "--mode", "full"},
         "--size: '16385x2' is not WIDTHxHEIGHT with sides from 1 to 16384"},
        {Program::Render, {"--size", "8193x2"}, "--size: 8193x2 needs --mode full for sides above 8192"},
        {Program::Render, {"--samples", "0"}, "--samples: '0' is not a sample count from 1 to 256"},
        {Program::Render, {"--samples", "257", "--mode", "full"}, "--samples: '257' is not a sample count from 1 to 256"},
        {Program::Render, {"--samples", "1"}, "--samples needs --mode full"},
        {Program::Render, {"--mode", "frameless", "--samples", "4"}, "--samples needs --mode full"},
        {Program::Render, {"--depth", "21"}, "--depth: '21' is not a depth from 0 to 20"},
        {Program::Render, {"--depth", "-1"}, "--depth: '-1' is not a depth from 0 to 20"},
        {Program::Render, {"--animate", "0"}, "--animate: '0' is not a positive whole number"},
        {Program::Render, {"--frame-range", "1-2"}, "--frame-range needs --animate"},
        {Program::Render, {"--animate", "5", "--frame-range", "3"}, "--frame-range: '3' is not A-B"},
        {Program::Render, {"--animate", "5", "--frame-range", "-1-2"}, "--frame-range: '-1-2' is not A-B"},
        {Program::Render, {"--animate", "5", "--frame-range", "3-2"}, "--frame-range: 3-2 is not within frames 0-4"},
        {Program::Render, {"--animate", "5", "--frame-range", "2-5"}, "--frame-range: 2-5 is not within frames 0-4"},
        {Program::Render, {"--region", "0,0,8,8"}, "--region needs --mode full"},
        {Program::Render, {"--mode", "full", "--region", "0,0,8"}, "--region: '0,0,8' is not X0,Y0,X1,Y1"},
        {Program::Render, {"--mode", "full", "--region", "0,0,8,8,"}, "--region: '0,0,8,8,' is not X0,Y0,X1,Y1"},
        {Program::Render, {"--mode", "full", "--region", "4,0,4,8"}, "--region: 4,0,4,8 is empty"},
        {Program::Render, {"--mode", "full", "--region", "0,5,8,2"}, "--region: 0,5,8,2 is reversed"},
        {Program::Render, {"--mode", "full", "--size", "8x8", "--region", "0,0,9,8"},
         "--region: 0,0,9,8 is outside the 8x8 picture"},
        {Program::Render, {"--pick", "1;2"}, "--pick: '1;2' is not X,Y"},
        {Program::Render, {"--size", "8x6", "--pick", "8,0"}, "--pick: 8,0 is outside the 8x6 picture"},
        {Program::Render, {"--mode", "full", "--region", "2,2,4,4", "--pick", "1,2"},
         "--pick: 1,2 is outside the 2x2 picture"},
        {Program::Window, {"--duration", "0"}, "--duration: '0' is not a positive number of seconds"},
        {Program::Window, {"--duration", "inf"}, "--duration: 'inf' is not a positive number of seconds"},
        {Program::Window, {"--region", "0,0,1,1"}, "'--region' is not an option"},
        {Program::Render, {"--no-refine"}, "'--no-refine' is not an option"},
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
    for (const char* option : {"--dir", "--threads", "--flat-unions", "--quiet", "--help", "--version", "--depth",
                               "--samples", "--no-reload", "--no-refine", "--duration", "-display"})
        EXPECT_NE(window.find(option), std::string::npos) << option;
    for (const char* option : {"--size", "--quality", "--mode", "--frames", "--batches", "--camera-move", "--border",
                               "--out", "--report", "--threads", "--version", "--depth", "--samples", "--region",
                               "--animate", "--frame-range", "--pick"})
        EXPECT_NE(render.find(option), std::string::npos) << option;
}

}  // namespace
