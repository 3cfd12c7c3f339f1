// Loading the scene again: a good file replaces the scene and its counts, a broken one keeps
// the last good scene, and a thousand reloads leave the memory where it was.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/scene.h"
#include "objects/object.h"
#include "render/shading.h"

namespace {

class Reload : public testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/quadray_reload_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        directory = pattern;
        path = directory + "/scene.pov";
    }
    void TearDown() override { std::filesystem::remove_all(directory); }

    void save(const std::string& text) { std::ofstream(path) << text; }

    std::string directory, path;
};

const char* const TWO_SPHERES = "union { sphere { <0, 0, 0>, 1 } sphere { <2, 0, 0>, 1 } }\n";
const char* const ONE_BOX = "box { <0, 0, 0>, <1, 1, 1> pigment { color rgb <1, 0, 0> } }\n";
const char* const BROKEN = "union { sphere { <0, 0, 0>, 1 } sphere { <2, 0, 0> }\n";

long residentKilobytes() {
    long pages = 0, resident = 0;
    if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(statm);
    }
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

TEST_F(Reload, GoodFilesReplaceTheSceneAndBrokenOnesKeepIt) {
    save(TWO_SPHERES);
    testing::internal::CaptureStdout();
    loadSceneFile(path);
    EXPECT_EQ(primitiveCount, 2);
    EXPECT_EQ(csgNodeCount, 1);

    save(ONE_BOX);
    EXPECT_TRUE(reloadScene());
    EXPECT_EQ(primitiveCount, 1);
    EXPECT_EQ(csgNodeCount, 0);
    Object* const goodScene = sceneList;

    save(BROKEN);
    EXPECT_FALSE(reloadScene());
    EXPECT_EQ(sceneList, goodScene);
    EXPECT_EQ(primitiveCount, 1);
    EXPECT_EQ(csgNodeCount, 0);

    std::filesystem::remove(path);
    EXPECT_FALSE(reloadScene());
    EXPECT_EQ(sceneList, goodScene);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "INFORMATION (100): main - Parsing done...\n"
              "INFORMATION (100): main - Parsing done...\n"
              "ERROR (9000): parser - Expected , in line 1\n"
              "ERROR (9001): tokenizer - file not found: " + path + "\n");
}

// Under AddressSanitizer freed memory is held back on purpose, so only its leak check
// speaks there; elsewhere the resident size must stay flat.
TEST_F(Reload, AThousandReloadsKeepTheMemoryFlat) {
    // Large enough that keeping each replaced scene would grow the process by tens of MB.
    std::string manySpheres = "union {\n";
    for (int i = 0; i < 300; ++i) manySpheres += "sphere { <" + std::to_string(i) + ", 0, 0>, 0.5 }\n";
    const std::string cutShort = manySpheres;  // every sphere built, then the file ends
    manySpheres += "}\n";
    save(manySpheres);
    testing::internal::CaptureStdout();
    loadSceneFile(path);
    long afterHundred = 0;
    for (int i = 1; i <= 1000; ++i) {
        save(i % 2 ? cutShort : manySpheres);
        reloadScene();
        if (i == 100) afterHundred = residentKilobytes();
    }
    testing::internal::GetCapturedStdout();
#if !defined(__SANITIZE_ADDRESS__)
    EXPECT_LT(residentKilobytes() - afterHundred, 4096);
#endif
    EXPECT_EQ(primitiveCount, 300);
}

TEST_F(Reload, IncludedFilesAreWatchedToo) {
    std::ofstream(directory + "/part.inc") << "#declare R = 1;\n";
    save("#include \"part.inc\"\nsphere { <0, 0, 0>, R }\n");
    testing::internal::CaptureStdout();
    loadSceneFile(path);
    const std::vector<std::string> both = {path, directory + "/part.inc"};
    EXPECT_EQ(watchedSceneFiles(), both);
    // A broken include that cannot be read yet is watched until it is mended.
    save("#include \"part.inc\"\n#include \"later.inc\"\nsphere { <0, 0, 0>, R }\n");
    EXPECT_FALSE(reloadScene());
    const std::vector<std::string> three = {path, directory + "/part.inc", directory + "/later.inc"};
    EXPECT_EQ(watchedSceneFiles(), three);
    save(TWO_SPHERES);
    EXPECT_TRUE(reloadScene());
    EXPECT_EQ(watchedSceneFiles(), std::vector<std::string>{path});
    testing::internal::GetCapturedStdout();
}

}  // namespace
