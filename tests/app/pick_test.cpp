// "What is this?" through a loaded scene: the statement that made the object under a pixel,
// the macro call, loop and declared name that led to it, the CSG statements around it (a
// regrouped union among them), rows counted from the top, and nothing where the ray meets
// nothing.
#include "app/pick.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "app/scene.h"
#include "render/camera.h"
#include "render/frame.h"
#include "render/null_presenter.h"

namespace {

TEST(Pick, NamesWhatMadeTheObjectUnderThePixel) {
    char pattern[] = "/tmp/quadray_pick_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string directory = pattern;
    const std::string path = directory + "/scene.pov";
    std::ofstream(path) << "camera { location <0, 0, -10> look_at <0, 0, 0> }\n"  // 1
                           "#macro Ball(Y)\n"                                     // 2
                           "  sphere { <0, Y, 0>, 1 }\n"                          // 3
                           "#end\n"                                               // 4
                           "#declare Pair = union {\n"                            // 5
                           "  #for (I, 0, 19)\n"                                  // 6
                           "    Ball(I * 3)\n"                                    // 7
                           "  #end\n"                                             // 8
                           "}\n"                                                  // 9
                           "difference {\n"                                       // 10
                           "  object { Pair }\n"                                  // 11
                           "  box { <-5, -5, -5>, <5, -4, 5> }\n"                 // 12
                           "}\n";
    testing::internal::CaptureStdout();
    NullPresenter presenter;
    initRenderer(presenter);
    loadSceneFile(path);
    applySceneView();
    reshapeWindow(presenter, 40, 30);
    testing::internal::GetCapturedStdout();

    const std::vector<std::string> centre = pickLines(20, 15, 40, 30);
    const std::vector<std::string> expected = {path + ":3: sphere",           "via " + path + ":7",
                                               "via " + path + ":6",            "via " + path + ":11",
                                               "in union at " + path + ":5",    "in difference at " + path + ":10"};
    ASSERT_EQ(centre.size(), expected.size() + 1);
    EXPECT_EQ(std::vector<std::string>(centre.begin(), centre.end() - 1), expected);
    EXPECT_EQ(centre.back().rfind("point ", 0), 0u);
    EXPECT_NE(centre.back().find(" distance 9."), std::string::npos) << centre.back();

    // Rows count from the top: the upper ball stands above the centre.
    const std::vector<std::string> upper = pickLines(20, 4, 40, 30);
    ASSERT_FALSE(upper.empty());
    EXPECT_EQ(upper[0], path + ":3: sphere");
    double px = 0, py = 0, pz = 0, distance = 0;
    ASSERT_EQ(std::sscanf(upper.back().c_str(), "point %lf %lf %lf distance %lf", &px, &py, &pz, &distance), 4);
    EXPECT_GT(py, 2);
    EXPECT_EQ(pickLines(0, 0, 40, 30), std::vector<std::string>{"nothing at 0,0"});
    std::filesystem::remove_all(directory);
}

}  // namespace
