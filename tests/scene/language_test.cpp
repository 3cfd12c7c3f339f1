// The language's later additions read through the real parser: values of the new functions,
// vectors and their components, the usual arithmetic, loops, conditions, macros and random
// streams (where each object was made is read back through the pick test).
#include <cmath>
#include <memory>

#include "objects/csg.h"
#include "objects/sphere.h"
#include "scene/parser.h"
#include "scene_files.h"

namespace {

// Scenes live as long as the program, as they do in the tracer (never destroyed, so the leak
// check at exit still finds them).
std::vector<Object*>& languageScenes = *new std::vector<Object*>;

class LanguageTest : public SceneLanguageTest {
protected:
    // The radius of the sphere whose radius is written as expression, after the given lines.
    double radius(const std::string& lines, const std::string& expression) {
        Object* root = parse(lines + "\nsphere { <0, 0, 0>, " + expression + " }");
        return root ? static_cast<Sphere*>(root)->radius : NAN;
    }
    Object* parse(const std::string& text) {
        files_.emplace_back(new SceneFile(text));
        return languageScenes.emplace_back(parse_scene_file(files_.back()->path()));
    }

private:
    std::vector<std::unique_ptr<SceneFile>> files_;
};

int memberCount(const Object* node) {
    int count = 0;
    for (const Object* m = node->children; m; m = m->next) ++count;
    return count;
}

TEST_F(LanguageTest, ExpressionsGiveTheirValues) {
    const std::vector<std::tuple<const char*, const char*, double>> cases = {
        {"", "pi", M_PI},
        {"", "abs(-2) + min(3, 4)", 5},
        {"", "max(3, 4) * pow(2, 3)", 32},
        {"", "floor(-1.5) + ceil(1.2)", 0},
        {"", "mod(-7, 3)", -1},
        {"", "exp(0) + log(1)", 1},
        {"", "atan2(1, 0)", M_PI / 2},
        {"#declare pi = 3;", "pi", 3},
        {"#declare max = 7;", "max", 7},
        {"#declare P = <1, 2, 3>;", "P.y + P.z * 10", 32},
        {"#declare P = <1, 2, 3>;", "vlength(P - <1, 2, 0>)", 3},
        {"#declare P = <3, 0, 4>;", "vnormalize(P).z + vdot(P, <1, 1, 1>)", 7.8},
        {"", "vcross(<1, 0, 0>, <0, 1, 0>).z", 1},
        {"#declare P = <1, 2, 3>;", "((P * 2) - <0, 0, 1>).z + (P / 2).x", 5.5},
        {"", ".5 + 1", 1.5},
        {"#usual_arithmetic", "2 * 3 + 4 - 10 - -1", 1},
        {"#usual_arithmetic\n#declare A = 1 + 2;", "A * 2", 6},
        {"#usual_arithmetic\n#declare P = <1, 2, 3>;", "(P * 2 + <1, 1, 1>).x", 3},
        {"#macro Twice(X) X * 2 #end", "Twice(1 + 2) + 1", 7},
        {"#macro Len(V) vlength(V) #end", "Len(<3, 4, 0>)", 5},
        {"#macro Pick(N) #if (N < 0 | N > 9) 0 #else N #end #end", "Pick(3) + Pick(12)", 3},
        {"#macro Sum(N) #if (N > 0) N + Sum(N - 1) #else 0 #end #end", "Sum(10)", 55},
        {"", "1 #if (1 < 2 & 2 <= 2 & !(3 = 4) & 3 != 4 & 2 >= 1) + 1 #end", 2},
        {"", "1 #if (!1 = 0 | 0) + 1 #else + 5 #end", 2},
        {"", "1 #if (0) + 1 #else + 5 #end", 6},
        {"#declare N = 0;", "1 #for (I, 1, 3) + I #end", 7},
        {"", "0 #for (I, 3, 1, -1) + (I * 10) #end", 60},
        {"", "0 #for (I, 0, 1, 0.1) + 1 #end", 11},
        {"", "0 #for (I, 1, 0) + 1 #end + 1", 1},
    };
    for (const auto& [lines, expression, value] : cases) {
        reset_tokenizer();
        EXPECT_NEAR(radius(lines, expression), value, 1e-12) << lines << " | " << expression;
    }
}

TEST_F(LanguageTest, RandomStreamsRepeatAndAdvance) {
    const std::string stream = "#declare S = seed(42);\n#declare T = seed(42);";
    const double first = radius(stream, "rand(S)");
    reset_tokenizer();
    EXPECT_EQ(radius(stream, "rand(T)"), first);
    reset_tokenizer();
    const double second = radius(stream, "(rand(S) * 0) + rand(S)");
    EXPECT_NE(second, first);
    EXPECT_GE(first, 0);
    EXPECT_LT(first, 1);
    reset_tokenizer();
    // Each reading of a declared text draws again.
    EXPECT_EQ(radius(stream + "\n#declare R = rand(S);", "(R * 0) + R"), second);
}

// A macro called in a loop, a declaration in a loop's body, and a declared union whose loop runs
// again at each use.
TEST_F(LanguageTest, LoopsAndMacrosMakeMembers) {
    Object* root = parse(
        "#macro Column(X)\n cylinder { <X, 0, 0>, <X, 2, 0>, 0.1 }\n#end\n"
        "union {\n #for (I, 1, 20)\n  Column(I)\n #end\n"
        " #for (I, 0, 9, 3) #declare C = <I, 5, 0>; sphere { C, 1 } #end\n}");
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(memberCount(root), 24);
    Sphere* last = nullptr;
    for (Object* m = root->children; m; m = m->next) last = static_cast<Sphere*>(m);
    EXPECT_EQ(last->center.x, 9);

    reset_tokenizer();
    root = parse(
        "#declare Ring = union {\n #for (I, 0, 11)\n  sphere { <cos(radians(I * 30)), 0, sin(radians(I * 30))>, 0.1 }\n"
        " #end\n}\nunion { object { Ring } object { Ring translate <0, 1, 0> } }");
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(memberCount(root->children), 12);
    EXPECT_EQ(memberCount(root->children->next), 12);
}

}  // namespace
