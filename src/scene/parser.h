// Reads one scene file into an object tree.
#pragma once

#include <vector>

#include "math/transform.h"
#include "objects/prism.h"
#include "objects/texture.h"

struct Object;
struct Texture;

// The camera and light statements of a scene file, in world coordinates, as read; the program
// decides what to do with them.
struct SceneView {
    bool hasCamera = false;
    Vector3 cameraLocation, cameraLookAt;
    bool hasLight = false;
    Vector3 lightLocation, lightColour{1, 1, 1};  // the last light statement
    std::vector<Light> lights;                     // every light statement, in the order read
    bool hasBackground = false;
    Vector3 background;
};

// What the last parse_scene_file read (the last statement of each kind wins); cleared when a
// parse_scene_file starts.
extern SceneView sceneView;

// Null when the file holds no object statement; every error ends the program, or leaves it
// through a fatalHook that throws. Every parse starts from a clean scene layer (tokenizer,
// declarations, file texts, limits, warnings, sceneView), also after a parse left that way;
// what it made goes to the current scene store, also when an error ends it.
// scene-file -> { camera | light } object-statement
Object* parse_scene_file(const char* file_name);

// One object statement with its modifiers; null (the token pushed back) when the next token
// cannot start one.
Object* parse_object();
// The members of a CSG statement, at least two, appended in written order.
void parse_csg_children(Object* node);
// Gives texture to the object and its descendants that still hold the default texture.
void apply_texture(Object* object, Texture* texture);

// Operators group from the right and have no precedence: 2*3+4 is 14 (in a file that starts
// with #usual_arithmetic, the usual rules: 10).
double parse_expression();
// The condition of an #if, read while readingCondition is set: comparisons joined by "&" and
// "|", with "!" binding tightest.
bool parse_condition();
Vector3 parse_vector();
OutlinePoint parse_vector2();
// A whole number within 32 bits; anything else is "Expected an integer".
int parse_integer();

// The run of rotate, translate, scale and matrix, acting in the order written.
Transformation parse_transformations();
Matrix4 parse_matrix();
// The texture items of one statement written into texture (a new one when it is null);
// the default texture when there were none and none was given.
Texture* parse_texture(Texture* texture);
void parse_finish(Texture* texture);
