// Parsed trees: expressions, substitution, object statements, CSG members, transformations
// in written order, and which objects share a texture record.
#include "scene/parser.h"

#include <fcntl.h>

#include <algorithm>
#include <cmath>
#include <memory>

#include "objects/box.h"
#include "objects/cone.h"
#include "objects/csg.h"
#include "objects/plane.h"
#include "objects/scene_store.h"
#include "objects/sphere.h"
#include "objects/torus.h"
#include "render/shading.h"
#include "scene/warnings.h"
#include "scene_files.h"

namespace {

// Scenes live as long as the program, as they do in the tracer (never destroyed, so the
// leak check at exit still finds them).
std::vector<Object*>& parsedScenes = *new std::vector<Object*>;

class ParserTest : public SceneLanguageTest {
protected:
    // Parses text as a whole scene file.
    Object* parse(const std::string& text) {
        files_.emplace_back(new SceneFile(text));
        Object* root = parse_scene_file(files_.back()->path());
        parsedScenes.push_back(root);
        return root;
    }
    // Parses text whose error line, the only thing left on standard output, is expected: the
    // copy with its place and the warnings on standard error are checked through the program.
    void parseFailing(const std::string& text) {
        const int null = ::open("/dev/null", O_WRONLY);
        dup2(null, STDERR_FILENO);
        parse(text);
    }
    // The value of text read as one expression; the token after it must be ";".
    double evaluate(const std::string& text) {
        open(text + ";");
        const double value = parse_expression();
        next_token();
        EXPECT_EQ(tokenizer.kind, TokenKind::SEMICOLON) << text;
        return value;
    }

private:
    std::vector<std::unique_ptr<SceneFile>> files_;
};

std::vector<Object*> members(Object* node) {
    std::vector<Object*> result;
    for (Object* m = node->children; m; m = m->next) result.push_back(m);
    return result;
}

Vector3 placed(const Object* object, const Vector3& p) { return transform_point(p, object->transformation->forward); }

void expectNear(const Vector3& a, const Vector3& b) {
    EXPECT_NEAR(a.x, b.x, 1e-12);
    EXPECT_NEAR(a.y, b.y, 1e-12);
    EXPECT_NEAR(a.z, b.z, 1e-12);
}

TEST_F(ParserTest, OperatorsGroupFromTheRightWithoutPrecedence) {
    const std::vector<std::pair<const char*, double>> cases = {
        {"2*3+4", 14}, {"10-2-3", 11},   {"8/2/2", 8},     {"2+3*4", 14},  {"-2+3", -5},
        {"(2*3)+4", 10}, {"cos(0)*2", 2}, {"1+2*3", 7},    {"2*3+1", 8},   {"6/3*2", 1},
        {"-(1)+1", -2}, {"+5", 5},        {"--3", 3},      {"sqrt(16)", 4}, {"sin(0)", 0},
        {"tan(0)", 0},  {"acos(1)", 0},   {"asin(0)", 0},  {"1 -\n 2", -1}};
    for (const auto& [text, value] : cases) {
        reset_tokenizer();
        EXPECT_EQ(evaluate(text), value) << text;
    }
    reset_tokenizer();
    EXPECT_EQ(evaluate("radians(180)"), 3.141592653589793);
    reset_tokenizer();
    EXPECT_DOUBLE_EQ(evaluate("degrees(atan(1))"), 45);
}

TEST_F(ParserTest, FunctionsDoNotCheckTheirArguments) {
    EXPECT_TRUE(std::isnan(evaluate("sqrt(-1)")));
    reset_tokenizer();
    EXPECT_TRUE(std::isnan(evaluate("acos(2)")));
    reset_tokenizer();
    EXPECT_EQ(evaluate("1/0"), HUGE_VAL);
}

TEST_F(ParserTest, ExpressionTerminatorIsPushedBack) {
    for (const char* end : {",", ">", ")", "}", "{", "<", "=", "rotate"}) {
        reset_tokenizer();
        open(std::string("1+2 ") + end + " ");
        EXPECT_EQ(parse_expression(), 3);
        EXPECT_TRUE(tokenizer.unget_pending) << end;
    }
}

TEST_F(ParserTest, ExpressionErrors) {
    const std::vector<std::pair<const char*, const char*>> cases = {
        {"2 3", "Expected a number in line 1"},     {"\n sqrt 4", "Expected ( in line 2"},
        {"()", "Expected a number in line 1"},       {"(1\n;", "Expected ) in line 2"},
        {"*2", "Expected a number in line 1"},       {"2 (1)", "Expected a number in line 1"},
        {"1+\n;", "Expected a number in line 2"},    {"cos(0 1)", "Expected a number in line 1"},
        {"2 cos(0)", "Expected a number in line 1"}, {"sin(1", "Expected ) in line 1"}};
    for (const auto& [text, message] : cases) {
        EXPECT_FATAL_LINE(
            {
                open(text);
                parse_expression();
            },
            std::string("ERROR (9000): parser - ") + message);
    }
}

TEST_F(ParserTest, IntegersMustBeWhole) {
    open("3.0, -2.0, 2*3+1, ");
    EXPECT_EQ(parse_integer(), 3);
    next_token();
    EXPECT_EQ(parse_integer(), -2);
    next_token();
    EXPECT_EQ(parse_integer(), 8);
    for (const char* text : {"2.5", "1e20", "-3e9", "sqrt(-1)"}) {
        EXPECT_FATAL_LINE(
            {
                open(text + std::string(";"));
                parse_integer();
            },
            "ERROR (9000): parser - Expected an integer in line 1");
    }
}

TEST_F(ParserTest, DeclaredNamesAreSubstitutedAsOneOperand) {
    open("#declare R = 1+2;\n#declare S = R;\nR*3, S*2, -R+10;");
    EXPECT_EQ(parse_expression(), 9);
    EXPECT_EQ(state_depth(), 0);
    next_token();
    EXPECT_EQ(parse_expression(), 6);  // substituted twice, nested
    EXPECT_EQ(state_depth(), 0);
    next_token();
    EXPECT_EQ(parse_expression(), -13);
    EXPECT_EQ(tokenizer.line, 3);
}

TEST_F(ParserTest, RedeclarationKeepsTheFirstValue) {
    open("#declare A = 1;\n#declare A = 5;\nA+A;");
    EXPECT_EQ(parse_expression(), 2);
}

TEST_F(ParserTest, DeclaredSphereParametersAndErrorLines) {
    Object* sphere = parse("#declare R = 2;\n\nsphere {\n <R, 0, 0>, R\n}\n");
    ASSERT_EQ(sphere->methods, &TransformedSphereMethods);  // transformed once, by the identity
    EXPECT_EQ(static_cast<Sphere*>(sphere)->center, (Vector3{2, 0, 0}));
    EXPECT_EQ(static_cast<Sphere*>(sphere)->radius, 2);
    expectNear(placed(sphere, {1, 2, 3}), {1, 2, 3});
    // An error after a substitution reports the statement's line, one inside it the declaration's.
    EXPECT_FATAL_LINE(parseFailing("#declare R = 2;\n\nsphere {\n <R, 0, 0>, R\n box\n"),
                      "ERROR (9000): parser - Expected } in line 5");
    EXPECT_FATAL_LINE(parseFailing("#declare R = 2 3;\n\nsphere {\n <R, 0, 0>, R }"),
                      "ERROR (9000): parser - Expected a number in line 1");
}

TEST_F(ParserTest, PrimitivesGetTheirParameters) {
    Object* scene = parse(
        "union {\n"
        "  box { <1, 2, 3>, <-1, 0, 5> }\n"
        "  cylinder { <0, 0, 0>, <0, 2, 0>, 0.5 }\n"
        "  cone { <0, 0, 0>, 1, <0, 3, 0>, 0.25 }\n"
        "  plane { <0, 2, 0>, 1 }\n"
        "  torus { 3, 0.5 }\n"
        "}\n");
    const std::vector<Object*> m = members(scene);
    ASSERT_EQ(m.size(), 5u);
    EXPECT_EQ(m[0]->methods, &BoxMethods);
    EXPECT_EQ(m[1]->methods, &CylinderMethods);
    EXPECT_EQ(m[2]->methods, &ConeMethods);
    EXPECT_EQ(m[3]->methods, &PlaneMethods);
    EXPECT_EQ(m[4]->methods, &TorusMethods);
    const auto* plane = static_cast<Plane*>(m[3]);
    EXPECT_EQ(plane->normal, (Vector3{0, 1, 0}));
    EXPECT_EQ(plane->offset, -1);
    EXPECT_EQ(static_cast<Torus*>(m[4])->major_radius, 3);
    EXPECT_EQ(static_cast<Torus*>(m[4])->minor_radius, 0.5);
}

TEST_F(ParserTest, IdsFollowTheOrderStatementsAreCreated) {
    const int first = objectCount;
    const int nodes = csgNodeCount;
    const int primitives = primitiveCount;
    Object* scene = parse("difference { sphere { <0,0,0>, 2 } union { box { <0,0,0>, <1,1,1> } "
                          "sphere { <0,0,0>, 1 } } }");
    EXPECT_EQ(scene->methods->intersect, CsgDifference.intersect);
    EXPECT_EQ(scene->id, first);
    const std::vector<Object*> m = members(scene);
    ASSERT_EQ(m.size(), 2u);
    EXPECT_EQ(m[0]->id, first + 1);
    EXPECT_EQ(m[1]->id, first + 2);
    EXPECT_EQ(members(m[1])[0]->id, first + 3);
    EXPECT_EQ(members(m[1])[1]->id, first + 4);
    EXPECT_EQ(objectCount, first + 5);
    EXPECT_EQ(csgNodeCount, nodes + 2);
    EXPECT_EQ(primitiveCount, primitives + 3);
}

TEST_F(ParserTest, OnlyTheFirstStatementIsRead) {
    const int first = objectCount;
    Object* sphere = parse("sphere { <0,0,0>, 1 } box { <0,0,0>, <1,1,1> } $ garbage");
    EXPECT_EQ(sphere->id, first);
    EXPECT_EQ(objectCount, first + 1);
    EXPECT_EQ(parse("// nothing but a comment\n"), nullptr);
    EXPECT_EQ(parse("5"), nullptr);
}

TEST_F(ParserTest, EachFileHasItsOwnDeclarations) {
    parse("#declare R = 1;\nsphere { <0,0,0>, R }");
    EXPECT_FATAL_LINE(parseFailing("\nsphere { <0,0,0>, R }"), "ERROR (9001): tokenizer - Unknown identifier 'R' in line 2");
    // The same name declared again in the next file means the new text.
    Object* sphere = parse("#declare R = 7;\nsphere { <0,0,0>, R }");
    EXPECT_EQ(static_cast<Sphere*>(sphere)->radius, 7);
}

TEST_F(ParserTest, PrismHeightsAreOrderedAndOpenOutlinesClosed) {
    auto prism = [this](const std::string& points) {
        return static_cast<Prism*>(parse("prism { linear_sweep 1, 0, " + points + " }"));
    };
    Prism* closed = prism("4, <0,0>, <1,0>, <1,1>, <0,0>");
    EXPECT_EQ(closed->height1, 0);
    EXPECT_EQ(closed->height2, 1);
    EXPECT_EQ(closed->sweep, LINEAR_SWEEP);
    EXPECT_EQ(closed->outline_count, 3);  // segments
    EXPECT_EQ(prism("3, <0,0>, <1,0>, <1,1>")->outline_count, 3);
    // Two sub-outlines: the first closed, the second closed by repeating (5,5).
    EXPECT_EQ(prism("6, <0,0>, <1,0>, <0,0>, <5,5>, <6,5>, <5,6>")->outline_count, 5);
    EXPECT_EQ(prism("2, <0,0>, <3,0>")->outline_count, 2);
    EXPECT_EQ(prism("2, <0,0>, <1e-11,0>")->outline_count, 1);  // already closed
    Prism* conic = static_cast<Prism*>(parse("prism { conic_sweep 0.5, 1, 3, <0,0>, <1,0>, <0,1> }"));
    EXPECT_EQ(conic->sweep, CONIC_SWEEP);
    EXPECT_EQ(conic->height1, 0.5);
    EXPECT_EQ(conic->texture, defaultTexture());
    EXPECT_EQ(conic->light, sceneLight());
}

TEST_F(ParserTest, TransformationsReachEveryMemberThroughTheNode) {
    Object* scene = parse("union { torus { 1, 0.1 } torus { 2, 0.1 translate <0, 1, 0> } translate <5, 0, 0> }");
    const std::vector<Object*> m = members(scene);
    expectNear(placed(m[0], {0, 0, 0}), {5, 0, 0});
    expectNear(placed(m[1], {0, 0, 0}), {5, 1, 0});
}

TEST_F(ParserTest, ModifiersAfterAnIdentifierBelongToItsObject) {
    Object* scene = parse(
        "#declare T = torus { 1, 0.1 translate <1, 0, 0> }\n"
        "union { T translate <0, 2, 0> torus { 1, 0.1 } }");
    const std::vector<Object*> m = members(scene);
    ASSERT_EQ(m.size(), 2u);
    expectNear(placed(m[0], {0, 0, 0}), {1, 2, 0});
    expectNear(placed(m[1], {0, 0, 0}), {0, 0, 0});
}

TEST_F(ParserTest, IdentifiersInARowAreTextureItemsOfTheFirst) {
    EXPECT_FATAL_LINE(parseFailing("#declare S = sphere { <0,0,0>, 1 }\nunion {\n S S S\n}"),
                      "ERROR (9000): parser - Expected at least 2 object in csg in line 4");
    Object* scene = parse("#declare S = sphere { <0,0,0>, 1 }\nunion { S S box { <0,0,0>, <1,1,1> } }");
    EXPECT_EQ(members(scene).size(), 2u);
}

TEST_F(ParserTest, TextureItemsOfOneStatementWriteOneRecord) {
    Object* a = parse(
        "sphere { <0,0,0>, 1 finish { phong 0.5 diffuse 0.7 } pigment { color rgb <0, 1, 0> }\n"
        "  texture { texture { finish { specular 0.2 phong_size 9 phong 0.6 } } } }");
    const Texture* t = a->texture;
    EXPECT_EQ(t->colour, (Vector3{0, 1, 0}));
    EXPECT_EQ(t->phong, 0.6);
    EXPECT_EQ(t->diffuse, 0.7);
    EXPECT_EQ(t->specular, 0.2);
    EXPECT_EQ(t->phong_size, 9);
    const Texture* finish_only = parse("sphere { <0,0,0>, 1 finish { ambient 0.3 } }")->texture;
    EXPECT_NE(finish_only, defaultTexture());
    EXPECT_EQ(finish_only->colour, Texture().colour);
    EXPECT_EQ(finish_only->diffuse, 0.6);
    EXPECT_EQ(finish_only->ambient, (Vector3{0.3, 0.3, 0.3}));
    EXPECT_EQ(parse("sphere { <0,0,0>, 1 texture { } finish { } }")->texture->phong_size, 40);
    EXPECT_EQ(parse("sphere { <0,0,0>, 1 }")->texture, defaultTexture());
    EXPECT_EQ(defaultTexture()->ambient, (Vector3{0.1, 0.1, 0.1}));
}

// Equal textures share one record, apart from the default one; a declared texture is parsed
// again at each use.
TEST_F(ParserTest, EqualTexturesShareOneRecordAndDeclaredOnesAreParsedAgain) {
    const size_t before = currentStore->textures.size();
    Object* scene = parse(
        "union {\n"
        "  sphere { <0,0,0>, 1 texture { pigment { color rgb <1, 0, 0> } } }\n"
        "  sphere { <1,0,0>, 1 pigment { color rgb <1, 0, 0> } }\n"
        "  sphere { <2,0,0>, 1 pigment { color rgb <-0, 0, 0> } }\n"
        "  sphere { <3,0,0>, 1 pigment { color rgb <0, 0, 0> } }\n"
        "  sphere { <4,0,0>, 1 finish { diffuse 0.6 } }\n"
        "  sphere { <5,0,0>, 1 }\n"
        "  texture { pigment { color rgb <0, 0, 0> } }\n"
        "}\n");
    std::vector<Object*> m = members(scene);
    ASSERT_EQ(m.size(), 6u);
    EXPECT_EQ(m[0]->texture, m[1]->texture);
    EXPECT_NE(m[2]->texture, m[3]->texture);  // -0 and 0 are told apart
    EXPECT_EQ(m[5]->texture, m[3]->texture);  // given by the union, equal to the fourth's
    // Written with the default values, a texture is still the sphere's own: the union's
    // texture goes only to what holds the default record.
    EXPECT_NE(m[4]->texture, defaultTexture());
    EXPECT_EQ(m[4]->texture->colour, Texture().colour);
    EXPECT_EQ(currentStore->textures.size() - before, 4u);

    scene = parse(
        "#declare Red = texture { pigment { color rgb <1, 0, 0> } }\n"
        "#declare Num = 3;\n"
        "union {\n"
        "  box { <0,0,0>, <1,1,1> Red }\n"
        "  sphere { <0,0,0>, 1 texture { Red finish { phong 1 } } }\n"
        "  box { <0,0,0>, <1,1,1> Num }\n"
        "}\n");
    m = members(scene);
    ASSERT_EQ(m.size(), 3u);
    EXPECT_NE(m[0]->texture, m[1]->texture);
    EXPECT_EQ(m[0]->texture->colour, (Vector3{1, 0, 0}));
    EXPECT_EQ(m[1]->texture->colour, (Vector3{1, 0, 0}));
    EXPECT_EQ(m[0]->texture->phong, 0);
    EXPECT_EQ(m[1]->texture->phong, 1);
    EXPECT_EQ(m[2]->texture, defaultTexture());  // a number is no texture item
    // Right after an expression a name is a second operand, not a texture.
    EXPECT_FATAL_LINE(parseFailing("#declare Red = texture { }\nsphere { <0,0,0>, 1\n Red }"),
                      "ERROR (9000): parser - Expected a number in line 3");
}

TEST_F(ParserTest, WhatIsReadAgainStaysInAFileGivenBackAsItIsRead) {
    // A declaration, a macro and a loop read their texts again in a file of megabytes, from
    // which what is read for good is given back: declared at the start and in the middle.
    std::string spheres;
    for (int i = 0; i < 25000; ++i) spheres += "  sphere { <0.123456, 1.234567, 2.345678>, 0.5 }\n";
    const std::string declarations =
        "#declare Red = texture { pigment { color rgb <1, 0, 0> } }\n"
        "#macro M(X) sphere { <X, 0, 0>, 1 texture { Red } } #end\n";
    const std::string uses = "  M(7)\n  #for (I, 0, 2) sphere { <I, 0, 0>, 1 texture { Red } } #end\n}\n";
    for (const std::string& text : {declarations + "union {\n" + spheres + spheres + uses,
                                    "union {\n" + spheres + declarations + spheres + uses}) {
        const std::vector<Object*> m = members(parse(text));
        ASSERT_EQ(m.size(), 50004u);
        const std::vector<double> x = {7, 0, 1, 2};
        for (size_t i = 0; i < x.size(); ++i) {
            const auto* sphere = static_cast<const Sphere*>(m[50000 + i]);
            EXPECT_EQ(sphere->texture->colour, (Vector3{1, 0, 0}));
            EXPECT_EQ(placed(sphere, sphere->center).x, x[i]);
        }
    }
}

TEST_F(ParserTest, ObjectsWithoutAnObjectAreReported) {
    EXPECT_FATAL_LINE(parseFailing("object {\n}"), "ERROR (9000): parser - Expected an object in line 2");
    EXPECT_FATAL_LINE(parseFailing("#declare N = 1;\n\nN\n"), "ERROR (9000): parser - Expected an object in line 3");
    EXPECT_FATAL_LINE(parseFailing("#declare T = texture { }\nunion { sphere { <0,0,0>, 1 } box { <0,0,0>, <1,1,1> }\n T }"),
                      "ERROR (9000): parser - Expected an object in line 3");
}

TEST_F(ParserTest, RunawayNestingIsReported) {
    std::string deep;
    for (int i = 0; i < 1100; ++i) deep += "union { ";
    EXPECT_FATAL_LINE(parseFailing(deep), "ERROR (9000): parser - Expected at most 1000 nested levels in line 1");
    EXPECT_FATAL_LINE(parseFailing("sphere { <0,0,0>, " + std::string(1100, '(')),
                      "ERROR (9000): parser - Expected at most 1000 nested levels in line 1");
    EXPECT_FATAL_LINE(parseFailing("#declare A = A + 1;\n\nsphere { <0,0,0>, A }"),
                      "ERROR (9000): parser - Expected at most 100 nested substitutions in line 1");
    EXPECT_FATAL_LINE(parseFailing("#declare O = object { O }\n\nO\n"),
                      "ERROR (9000): parser - Expected at most 100 nested substitutions in line 1");
    // Nesting that stops short of the limit is fine.
    std::string fine = "sphere { <0,0,0>, ";
    for (int i = 0; i < 400; ++i) fine += "1+(";
    fine += "1" + std::string(400, ')') + " }";
    EXPECT_EQ(static_cast<Sphere*>(parse(fine))->radius, 401);
}

TEST_F(ParserTest, WarningsChangeNothingAndQuietSilencesThem) {
    const std::string text = "#declare A = 1;\n#declare A = 2;\nsphere { <0,0,0>, A - 0.25 - 0.25 }\n}";
    for (const bool quiet : {false, true}) {
        quietWarnings = quiet;
        testing::internal::CaptureStderr();
        Object* sphere = parse(text);
        const std::string warnings = testing::internal::GetCapturedStderr();
        EXPECT_EQ(static_cast<Sphere*>(sphere)->radius, 1);
        EXPECT_EQ(warnings.empty(), quiet) << warnings;
        if (!quiet) {
            EXPECT_EQ(std::count(warnings.begin(), warnings.end(), '\n'), 3) << warnings;
        }
    }
    quietWarnings = false;
}

// A program that survives errors (reloading a scene) leaves a parse by a fatal hook that throws.
struct Refused {};

// Standard output and error go nowhere while it lives: the error lines are checked elsewhere.
class OutputDiscarded {
public:
    OutputDiscarded() {
        std::fflush(stdout);
        const int null = ::open("/dev/null", O_WRONLY);
        dup2(null, STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
        close(null);
    }
    ~OutputDiscarded() {
        std::fflush(stdout);
        dup2(saved_out_, STDOUT_FILENO);
        dup2(saved_err_, STDERR_FILENO);
        close(saved_out_);
        close(saved_err_);
    }
    OutputDiscarded(const OutputDiscarded&) = delete;
    OutputDiscarded& operator=(const OutputDiscarded&) = delete;

private:
    int saved_out_ = dup(STDOUT_FILENO);
    int saved_err_ = dup(STDERR_FILENO);
};

std::string repeated(const std::string& text, int count) {
    std::string result;
    for (int i = 0; i < count; ++i) result += text;
    return result;
}

TEST_F(ParserTest, AParseEndedByAnErrorLeavesNothingThatBreaksTheNext) {
    SceneStore store;
    SceneStore* const programStore = currentStore;
    currentStore = &store;
    fatalHook = [](int) { throw Refused{}; };
    std::string nested_declarations;
    for (int i = 0; i < 1200; ++i) nested_declarations += "#declare a" + std::to_string(i) + " = ";
    // Each broken file stops at one of the limits or after objects were made, which the
    // store holds for the caller to free.
    const std::vector<std::pair<std::string, size_t>> broken = {
        {repeated("union { ", 1100), 1000},
        {"sphere { <0,0,0>, " + repeated("(", 1100), 0},
        {"#declare A = A + 1;\nsphere { <0,0,0>, A }", 0},
        {"#declare O = object { O }\nO\n", 0},
        {nested_declarations, 0},
        {"#declare T = texture { pigment { color rgb <1,0,0> } }\n"
         "union { sphere { <0,0,0>, 1 texture { T } } box { <0,0,0>, <1,1,1> } $", 3}};
    {
        const OutputDiscarded quiet;
        for (const auto& [text, objects_made] : broken) {
            EXPECT_THROW(parse(text), Refused);
            EXPECT_EQ(store.objects.size(), objects_made) << text.substr(0, 60);
            freeScene(store);
        }
    }
    fatalHook = nullptr;
    // Nothing is left over: every limit is reached exactly where a fresh program reaches it.
    Object* sphere = parse("#declare R = 2;\nsphere { <0,0,0>, " + repeated("(", 997) + "R" + repeated(")", 997) + " }");
    EXPECT_EQ(static_cast<Sphere*>(sphere)->radius, 2);
    EXPECT_EQ(state_depth(), 1);
    std::string declarations;
    for (int i = 0; i < 1000; ++i) declarations += "#declare b" + std::to_string(i) + " = ";
    EXPECT_NE(parse(declarations + "1" + repeated(";", 1000) + "\nsphere { <0,0,0>, b999 }"), nullptr);
    EXPECT_FATAL_LINE(parseFailing(repeated("union { ", 1001)),
                      "ERROR (9000): parser - Expected at most 1000 nested levels in line 1");
    parsedScenes.pop_back();
    parsedScenes.pop_back();
    freeScene(store);
    currentStore = programStore;
}

// The "ok" cases of the scene corpus, whose process run only shows that they parse: here
// their trees are checked.
std::string casePath(const std::string& name) {
    const std::string here = __FILE__;
    return here.substr(0, here.rfind('/')) + "/../scenes/language/" + name;
}

class CorpusTest : public ParserTest {
protected:
    Object* parseCase(const std::string& name) {
        Object* root = parse_scene_file(casePath(name).c_str());
        parsedScenes.push_back(root);
        return root;
    }
};

Sphere* asSphere(Object* object) { return static_cast<Sphere*>(object); }

TEST_F(CorpusTest, CommentsEverywhere) {
    Object* scene = parseCase("ok_comments_everywhere.pov");
    EXPECT_EQ(scene->methods, &CsgUnion);
    const std::vector<Object*> m = members(scene);
    ASSERT_EQ(m.size(), 2u);
    EXPECT_EQ(asSphere(m[0])->radius, 1);
    EXPECT_EQ(static_cast<Box*>(m[1])->corner_max, (Vector3{1, 1, 1}));
}

TEST_F(CorpusTest, DeclarationsEverywhere) {
    const std::vector<Object*> m = members(parseCase("ok_declarations_everywhere.pov"));
    ASSERT_EQ(m.size(), 3u);
    EXPECT_EQ(asSphere(m[0])->center, (Vector3{0.5, 0, 0}));
    EXPECT_EQ(asSphere(m[0])->radius, 6);
    EXPECT_EQ(static_cast<Box*>(m[1])->corner_min, (Vector3{0, 0, 0}));
    EXPECT_EQ(static_cast<Box*>(m[1])->corner_max, (Vector3{3, 4, 1}));
    EXPECT_EQ(asSphere(m[2])->radius, 1);
    EXPECT_EQ(m[2]->texture->colour, (Vector3{0.5, 0.5, 1}));
    EXPECT_EQ(state_depth(), 1);
}

TEST_F(CorpusTest, CrLfLineEndsReadLikeLf) {
    const std::vector<Object*> crlf = members(parseCase("ok_crlf_line_ends.pov"));
    const int crlf_line = tokenizer.line;
    std::string text;
    FILE* file = std::fopen(casePath("ok_crlf_line_ends.pov").c_str(), "rb");
    ASSERT_NE(file, nullptr);
    for (int c = std::fgetc(file); c != EOF; c = std::fgetc(file))
        if (c != '\r') text += static_cast<char>(c);
    std::fclose(file);
    const std::vector<Object*> lf = members(parse(text));
    EXPECT_EQ(tokenizer.line, crlf_line);
    EXPECT_EQ(crlf_line, 9);
    ASSERT_EQ(crlf.size(), 2u);
    ASSERT_EQ(lf.size(), 2u);
    EXPECT_EQ(asSphere(crlf[0])->center, (Vector3{1, 2, 3}));
    EXPECT_EQ(asSphere(crlf[0])->radius, 2);
    EXPECT_EQ(asSphere(lf[0])->radius, 2);
}

TEST_F(CorpusTest, Expressions) {
    std::vector<double> radii;
    for (Object* m : members(parseCase("ok_expressions.pov"))) radii.push_back(asSphere(m)->radius);
    ASSERT_EQ(radii.size(), 10u);
    const std::vector<double> expected = {14, 11, 8, -5, 10, 2, 9, 3.141592653589793, 45, 3};
    for (size_t i = 0; i < radii.size(); ++i) EXPECT_DOUBLE_EQ(radii[i], expected[i]) << i;
}

TEST_F(CorpusTest, PrismClosing) {
    const std::vector<Object*> m = members(parseCase("ok_prism_closing.pov"));
    ASSERT_EQ(m.size(), 3u);
    std::vector<int> segments;
    for (Object* p : m) segments.push_back(static_cast<Prism*>(p)->outline_count);
    EXPECT_EQ(segments, (std::vector<int>{3, 3, 5}));
    EXPECT_EQ(static_cast<Prism*>(m[0])->height1, 0);
    EXPECT_EQ(static_cast<Prism*>(m[0])->height2, 1);
    EXPECT_EQ(static_cast<Prism*>(m[2])->sweep, CONIC_SWEEP);
}

TEST_F(CorpusTest, TextureInheritance) {
    Object* scene = parseCase("ok_texture_inheritance.pov");
    const std::vector<Object*> m = members(scene);
    ASSERT_EQ(m.size(), 3u);
    EXPECT_EQ(m[0]->texture->colour, (Vector3{1, 0, 0}));
    EXPECT_EQ(m[0]->texture->ambient, (Vector3{0.1, 0.1, 0.1}));
    Texture* shared = m[1]->texture;
    EXPECT_EQ(shared->ambient, (Vector3{0.3, 0.3, 0.3}));
    for (Object* torus : members(m[2])) EXPECT_EQ(torus->texture, shared);
    EXPECT_EQ(scene->texture, nullptr);  // nodes keep none of their own
    EXPECT_EQ(m[2]->texture, nullptr);
}

TEST_F(CorpusTest, DeclaredObjects) {
    const std::vector<Object*> m = members(parseCase("ok_declared_objects.pov"));
    ASSERT_EQ(m.size(), 2u);
    EXPECT_NE(m[0]->id, m[1]->id);
    EXPECT_EQ(m[0]->texture, m[1]->texture);  // each use reads its texture again; equal values, one record
    EXPECT_EQ(m[0]->texture->colour, (Vector3{1, 0, 0}));
    EXPECT_EQ(m[1]->texture->colour, (Vector3{1, 0, 0}));
    expectNear(placed(m[0], {0, 0, 0}), {0, 0, 0});
    expectNear(placed(m[1], {0, 0, 0}), {1, 0, 0});
    EXPECT_EQ(state_depth(), 1);  // only the state saved before the file
}

TEST_F(CorpusTest, CameraAndLightAreRecordedAsWritten) {
    ASSERT_NE(parseCase("ok_camera_and_light.pov"), nullptr);
    EXPECT_TRUE(sceneView.hasCamera);
    EXPECT_EQ(sceneView.cameraLocation, (Vector3{3, 3, 3}));  // the last camera wins
    EXPECT_EQ(sceneView.cameraLookAt, (Vector3{0, 0, 1}));
    EXPECT_TRUE(sceneView.hasLight);
    EXPECT_EQ(sceneView.lightLocation, (Vector3{-5, 10, -5}));
    EXPECT_EQ(sceneView.lightColour, (Vector3{1, 0.5, 0.25}));
    // The next file starts without them.
    parse("sphere { <0, 0, 0>, 1 }");
    EXPECT_FALSE(sceneView.hasCamera);
    EXPECT_FALSE(sceneView.hasLight);
    EXPECT_EQ(sceneView.lightColour, (Vector3{1, 1, 1}));
}

TEST_F(CorpusTest, TransformOrder) {
    const std::vector<Object*> m = members(parseCase("ok_transform_order.pov"));
    ASSERT_EQ(m.size(), 5u);
    expectNear(placed(m[0], {0, 0, 0}), {2, 0, 0});
    expectNear(placed(m[1], {0, 0, 0}), {1, 0, 0});
    expectNear(placed(m[2], {1, 0, 0}), {0, 0, -1});  // degrees, not radians
    expectNear(placed(m[3], {1, 1, 1}), {6, 7, 8});
    expectNear(transform_point({6, 7, 8}, m[3]->transformation->inverse), {1, 1, 1});
    expectNear(placed(m[4], {3, 4, 5}), {3, 4, 5});  // transformed once, by the identity
}

}  // namespace
