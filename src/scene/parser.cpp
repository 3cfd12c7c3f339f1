// Recursive-descent reader of the scene language over the global tokenizer: expressions,
// object statements, CSG members, transformations and textures.
#include "scene/parser.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "base/error.h"
#include "objects/box.h"
#include "objects/cone.h"
#include "objects/csg.h"
#include "objects/plane.h"
#include "objects/scene_store.h"
#include "objects/sphere.h"
#include "objects/texture.h"
#include "objects/torus.h"
#include "scene/tokenizer.h"
#include "scene/warnings.h"

namespace {

inline constexpr int PARSER_ERROR = 9000;
inline constexpr const char* MODULE = "parser";
// Statements, texture blocks and expressions recurse; a scene never nests anywhere near this
// deep, so a deeper file is reported before the stack runs out.
inline constexpr int MAX_NESTING = 1000;
// Declared texts that use declared names; only a name that uses itself goes this deep.
inline constexpr int MAX_SUBSTITUTIONS = 100;
// Names built from names can multiply the uses without bound. A scene file may make this many
// substitutions, or one for every BYTES_PER_SUBSTITUTION bytes of it if that is more: a use
// takes at least two bytes (the name and what ends it), so a file may use every name it
// writes, while declarations that double their uses are stopped early.
inline constexpr long MIN_SUBSTITUTIONS_PER_FILE = 100000;
inline constexpr long BYTES_PER_SUBSTITUTION = 2;
// A point within this distance of its sub-outline's first point closes it.
inline constexpr double OUTLINE_CLOSING = 1e-10;

int nestingDepth = 0;
int substitutionDepth = 0;
long substitutionsMade = 0;
long substitutionBudget = MIN_SUBSTITUTIONS_PER_FILE;

[[noreturn]] void expected(const char* what) {
    fatal_error(PARSER_ERROR, MODULE, "Expected %s in line %d", what, tokenizer.line);
}

// Counts one level of recursion on counter for as long as it lives; unwinding (a fatal hook
// that throws) leaves the counter as it was.
struct DepthLevel {
    DepthLevel(int& counter, int limit, const char* what) : counter(counter) {
        // A constructor that throws runs no destructor: the counter must be left as it was.
        if (counter + 1 > limit)
            fatal_error(PARSER_ERROR, MODULE, "Expected at most %d %s in line %d", limit, what,
                        tokenizer.line);
        ++counter;
    }
    ~DepthLevel() { --counter; }
    DepthLevel(const DepthLevel&) = delete;
    DepthLevel& operator=(const DepthLevel&) = delete;
    int& counter;
};

struct NestingLevel : DepthLevel {
    NestingLevel() : DepthLevel(nestingDepth, MAX_NESTING, "nested levels") {}
};

struct Expectation {
    TokenKind kind;
    const char* text;
};

constexpr std::array<Expectation, 11> EXPECTATIONS{{
    {TokenKind::COMMA, ","},
    {TokenKind::RBRACE, "}"},
    {TokenKind::LBRACE, "{"},
    {TokenKind::LESS, "<"},
    {TokenKind::GREATER, ">"},
    {TokenKind::LPAREN, "("},
    {TokenKind::RPAREN, ")"},
    {TokenKind::COLOR, "color"},
    {TokenKind::RGB, "rgb"},
    {TokenKind::LOCATION, "location"},
    {TokenKind::LOOK_AT, "look_at"},
}};

// Reads one token, which must be of the given kind (one of those above).
void expect(TokenKind kind) {
    next_token();
    if (tokenizer.kind == kind) return;
    const auto* expectation = std::find_if(EXPECTATIONS.begin(), EXPECTATIONS.end(),
                                           [kind](const Expectation& e) { return e.kind == kind; });
    expected(expectation->text);
}

// Re-reads the current identifier's declared text with parse, in the context where the name
// stands, and then carries on right after the name. Whatever token ended the declared text
// is dropped with the restored state.
template <class Parse>
auto substitute(Parse parse) {
    const DepthLevel level(substitutionDepth, MAX_SUBSTITUTIONS, "nested substitutions");
    if (++substitutionsMade > substitutionBudget)
        fatal_error(PARSER_ERROR, MODULE, "Expected at most %ld substitutions in line %d", substitutionBudget,
                    tokenizer.line);
    push_state();
    // The file's text is in memory: the declared text is read where it stands.
    tokenizer.unget_pending = false;
    seek_to(tokenizer.position, tokenizer.position_line);
    auto result = parse();
    pop_state();
    return result;
}

bool is_function(TokenKind kind) { return kind >= TokenKind::SQRT && kind <= TokenKind::DEGREES; }

double apply_function(TokenKind function, double x) {
    switch (function) {
        case TokenKind::SQRT: return std::sqrt(x);
        case TokenKind::COS: return std::cos(x);
        case TokenKind::SIN: return std::sin(x);
        case TokenKind::TAN: return std::tan(x);
        case TokenKind::ACOS: return std::acos(x);
        case TokenKind::ASIN: return std::asin(x);
        case TokenKind::ATAN: return std::atan(x);
        case TokenKind::RADIANS: return x * DEG_TO_RAD;
        default: return x * RAD_TO_DEG;  // degrees
    }
}

// One item of an expression as written: an operand (number, group, function call or name
// with its value), a sign in front of what follows, or an operator between two operands.
struct Term {
    enum class Kind { OPERAND, SIGN, OPERATOR };
    Kind kind = Kind::OPERAND;
    char symbol = 0;
    int32_t line = 0;
    double value = 0;
    std::string text;
};

struct Expression {
    double value = 0;
    std::string text;  // as written, one space around each operator
    int32_t line = 0;  // where it starts
};

Expression read_expression();

char operator_symbol(TokenKind kind) {
    switch (kind) {
        case TokenKind::PLUS: return '+';
        case TokenKind::MINUS: return '-';
        case TokenKind::TIMES: return '*';
        default: return '/';
    }
}

double apply_operator(char symbol, double left, double right) {
    switch (symbol) {
        case '+': return left + right;
        case '-': return left - right;
        case '*': return left * right;
        default: return left / right;
    }
}

// The language's own reading: every operator takes the whole rest of the expression as its
// right operand, and a leading sign applies to the whole rest. Each term read is appended to
// terms, so the expression can be read again the usual way.
double read_terms(std::vector<Term>& terms) {
    const NestingLevel level;
    double value = 0;
    bool have_value = false;
    for (;;) {
        next_token();
        const TokenKind kind = tokenizer.kind;
        const int32_t line = tokenizer.line;
        if (kind == TokenKind::PLUS || kind == TokenKind::MINUS) {
            terms.push_back({have_value ? Term::Kind::OPERATOR : Term::Kind::SIGN, operator_symbol(kind), line, 0, {}});
            const double rest = read_terms(terms);
            if (kind == TokenKind::PLUS) value = have_value ? value + rest : rest;
            else value = have_value ? value - rest : -rest;
            have_value = true;
        } else if (kind == TokenKind::TIMES || kind == TokenKind::DIVIDE) {
            if (!have_value) expected("a number");
            terms.push_back({Term::Kind::OPERATOR, operator_symbol(kind), line, 0, {}});
            const double rest = read_terms(terms);
            value = kind == TokenKind::TIMES ? value * rest : value / rest;
        } else if (kind == TokenKind::NUMBER || kind == TokenKind::LPAREN || kind == TokenKind::IDENTIFIER ||
                   is_function(kind)) {
            if (have_value) expected("a number");
            std::string text;
            if (kind == TokenKind::NUMBER) {
                value = tokenizer.number;
                text = token_text();
            } else if (kind == TokenKind::LPAREN) {
                const Expression group = read_expression();
                expect(TokenKind::RPAREN);
                value = group.value;
                text = "(" + group.text + ")";
            } else if (kind == TokenKind::IDENTIFIER) {
                text = tokenizer.name;
                value = substitute(parse_expression);
            } else {
                text = tokenizer.name;
                expect(TokenKind::LPAREN);
                const Expression argument = read_expression();
                expect(TokenKind::RPAREN);
                value = apply_function(kind, argument.value);
                text += "(" + argument.text + ")";
            }
            terms.push_back({Term::Kind::OPERAND, 0, line, value, std::move(text)});
            have_value = true;
        } else {
            if (!have_value) expected("a number");
            unget_token();
            return value;
        }
    }
}

// A value with its bracketed form (spelled out only when asked for); leaf marks a single
// operand, which needs no brackets.
struct Reading {
    double value = 0;
    std::string text;
    bool leaf = true;
};

std::string bracketed(const Reading& reading) { return reading.leaf ? reading.text : "(" + reading.text + ")"; }

Reading operand_reading(const Term& term, bool spelled) { return {term.value, spelled ? term.text : std::string()}; }

Reading sign_applied(char sign, const Reading& operand, bool spelled) {
    return {sign == '-' ? -operand.value : operand.value,
            spelled ? std::string(1, sign) + bracketed(operand) : std::string(), false};
}

Reading operator_applied(char symbol, const Reading& left, const Reading& right, bool spelled) {
    return {apply_operator(symbol, left.value, right.value),
            spelled ? bracketed(left) + " " + symbol + " " + bracketed(right) : std::string(), false};
}

// The language's grouping of terms[at...].
Reading language_reading(const std::vector<Term>& terms, size_t at, bool spelled) {
    const Term& term = terms[at];
    if (term.kind == Term::Kind::SIGN) return sign_applied(term.symbol, language_reading(terms, at + 1, spelled), spelled);
    const Reading operand = operand_reading(term, spelled);
    if (at + 1 == terms.size()) return operand;
    return operator_applied(terms[at + 1].symbol, operand, language_reading(terms, at + 2, spelled), spelled);
}

// The reading with the usual precedence (signs, then * and /, then + and -) and left grouping.
class UsualReading {
public:
    UsualReading(const std::vector<Term>& terms, bool spelled) : terms_(terms), spelled_(spelled) {}

    Reading sum() {
        Reading value = product();
        while (at_operator("+-")) {
            const char symbol = terms_[at_++].symbol;
            value = operator_applied(symbol, value, product(), spelled_);
        }
        return value;
    }

private:
    bool at_operator(const char* symbols) const {
        return at_ < terms_.size() && terms_[at_].kind == Term::Kind::OPERATOR &&
               std::strchr(symbols, terms_[at_].symbol);
    }

    Reading product() {
        Reading value = signed_operand();
        while (at_operator("*/")) {
            const char symbol = terms_[at_++].symbol;
            value = operator_applied(symbol, value, signed_operand(), spelled_);
        }
        return value;
    }

    Reading signed_operand() {
        const Term& term = terms_[at_++];
        if (term.kind == Term::Kind::SIGN) return sign_applied(term.symbol, signed_operand(), spelled_);
        return operand_reading(term, spelled_);
    }

    const std::vector<Term>& terms_;
    const bool spelled_;
    size_t at_ = 0;
};

// Rounding alone does not count: the readings differ in what they mean.
bool values_differ(double a, double b) {
    if (std::isnan(a) || std::isnan(b)) return std::isnan(a) != std::isnan(b);
    if (!std::isfinite(a) || !std::isfinite(b)) return a != b;
    return std::fabs(a - b) > 1e-12 * std::max(std::fabs(a), std::fabs(b));
}

std::string written_text(const std::vector<Term>& terms) {
    std::string text;
    for (const Term& term : terms) {
        if (term.kind == Term::Kind::OPERATOR) text += std::string(" ") + term.symbol + " ";
        else if (term.kind == Term::Kind::SIGN) text += term.symbol;
        else text += term.text;
    }
    return text;
}

// Reads one expression; warns when usual precedence and left grouping would give another value.
Expression read_expression() {
    std::vector<Term> terms;
    Expression expression;
    expression.value = read_terms(terms);
    expression.line = terms.front().line;
    expression.text = written_text(terms);
    // With a single operator, or none, both readings are the same.
    if (quietWarnings || terms.size() <= 3) return expression;
    if (!values_differ(language_reading(terms, 0, false).value, UsualReading(terms, false).sum().value))
        return expression;
    const Reading language = language_reading(terms, 0, true);
    const Reading usual = UsualReading(terms, true).sum();
    warn(expression.line, "'%s' is read as %s = %s, not %s = %s", expression.text.c_str(), language.text.c_str(),
         warning_number(language.value).c_str(), usual.text.c_str(), warning_number(usual.value).c_str());
    return expression;
}

void warn_if_not_finite(double value, int32_t line) {
    if (!std::isfinite(value))
        warn(line, "a number that is not finite (%s) is used here", warning_number(value).c_str());
}

// An expression that gives a size, a position or a colour.
double parse_parameter() {
    const Expression expression = read_expression();
    warn_if_not_finite(expression.value, expression.line);
    return expression.value;
}

// "<" followed by count parameters separated by "," and then ">"; line is where "<" stands.
template <size_t count>
std::array<double, count> parse_components(int32_t& line) {
    std::array<double, count> values{};
    expect(TokenKind::LESS);
    line = tokenizer.line;
    for (size_t i = 0; i < count; ++i) {
        if (i > 0) expect(TokenKind::COMMA);
        values[i] = parse_parameter();
    }
    expect(TokenKind::GREATER);
    return values;
}

Vector3 parse_vector_at(int32_t& line) {
    const std::array<double, 3> v = parse_components<3>(line);
    return {v[0], v[1], v[2]};
}

// Twelve statement keywords open a braced statement: plane (30) to intersection (41).
bool is_braced_statement(TokenKind kind) { return kind >= TokenKind::PLANE && kind <= TokenKind::INTERSECTION; }

// sphere -> "sphere" "{" vector "," expression modifiers "}"
Object* parse_sphere() {
    const Vector3 centre = parse_vector();
    expect(TokenKind::COMMA);
    const double radius = parse_parameter();
    return make_sphere(centre.x, centre.y, centre.z, radius);
}

// box -> "box" "{" vector "," vector modifiers "}"
Object* parse_box() {
    const Vector3 a = parse_vector();
    expect(TokenKind::COMMA);
    const Vector3 b = parse_vector();
    return make_box(a.x, a.y, a.z, b.x, b.y, b.z);
}

// cylinder -> "cylinder" "{" vector "," vector "," expression modifiers "}"
Object* parse_cylinder() {
    const Vector3 a = parse_vector();
    expect(TokenKind::COMMA);
    const Vector3 b = parse_vector();
    expect(TokenKind::COMMA);
    const double radius = parse_parameter();
    return make_cylinder(a.x, a.y, a.z, b.x, b.y, b.z, radius);
}

// cone -> "cone" "{" vector "," expression "," vector "," expression modifiers "}"
Object* parse_cone() {
    const Vector3 a = parse_vector();
    expect(TokenKind::COMMA);
    const double radius_a = parse_parameter();
    expect(TokenKind::COMMA);
    const Vector3 b = parse_vector();
    expect(TokenKind::COMMA);
    const double radius_b = parse_parameter();
    return make_cone(a.x, a.y, a.z, radius_a, b.x, b.y, b.z, radius_b);
}

// plane -> "plane" "{" vector "," expression modifiers "}": the surface dot(n, P) = d for
// the unit n, so the builder gets the distance with its sign reversed.
Object* parse_plane() {
    int32_t line = 0;
    Vector3 normal = parse_vector_at(line);
    if (dot(normal, normal) == 0) warn(line, "the plane normal has zero length");
    normal = normal * (1 / std::sqrt(dot(normal, normal)));
    expect(TokenKind::COMMA);
    const double distance = parse_parameter();
    return make_plane(normal.x, normal.y, normal.z, -distance);
}

// torus -> "torus" "{" expression "," expression modifiers "}"
Object* parse_torus() {
    const double major = parse_parameter();
    expect(TokenKind::COMMA);
    const double minor = parse_parameter();
    return make_torus(major, minor);
}

bool closes(const OutlinePoint& point, const OutlinePoint& first) {
    return std::fabs(point.x - first.x) < OUTLINE_CLOSING && std::fabs(point.z - first.z) < OUTLINE_CLOSING;
}

// Sub-outlines that repeat their first point stand as written; an open last one is closed
// by repeating its first point. The point after a closing one starts the next sub-outline.
void close_outline(std::vector<OutlinePoint>& points) {
    const size_t n = points.size();
    size_t start = 0;
    bool last_closed = false;
    for (size_t j = 1; j < n; ++j) {
        last_closed = false;
        if (closes(points[j], points[start])) {
            last_closed = true;
            ++j;
            if (j < n) start = j;
        }
    }
    if (n >= 2 && !last_closed) points.push_back(points[start]);
}

// prism -> "prism" "{" sweep-type expression "," expression "," integer { "," vector2 }
//          modifiers "}"
Object* parse_prism() {
    Prism* prism = new_prism();
    finish_primitive(prism);
    next_token();
    if (tokenizer.kind == TokenKind::LINEAR_SWEEP) prism->sweep = LINEAR_SWEEP;
    else if (tokenizer.kind == TokenKind::CONIC_SWEEP) prism->sweep = CONIC_SWEEP;
    else expected("sweep_type");
    double low = parse_parameter();
    expect(TokenKind::COMMA);
    double high = parse_parameter();
    expect(TokenKind::COMMA);
    if (high < low) std::swap(low, high);
    prism->height1 = low;
    prism->height2 = high;
    const int count = parse_integer();
    if (count < 2) expected("at least 2 points in prism");
    // The count is only a promise: points are stored as they are actually read.
    std::vector<OutlinePoint> points;
    for (int i = 0; i < count; ++i) {
        expect(TokenKind::COMMA);
        points.push_back(parse_vector2());
    }
    close_outline(points);
    prism->outline_count = static_cast<int>(points.size());
    set_up_segments(prism, points);
    compute_prism_bounds(prism);
    return prism;
}

// csg -> ("union" | "merge" | "intersection" | "difference") "{" object-statement
//        object-statement { object-statement } modifiers "}"
Object* parse_csg(const ObjectMethods* kind) {
    Object* node = new_csg(kind);
    parse_csg_children(node);
    return node;
}

// modifiers -> { transformation } { texture-item }
void parse_modifiers(Object* object) {
    const Transformation transformation = parse_transformations();
    object->methods->transform(object, transformation);
    apply_texture(object, parse_texture(nullptr));
}

// The texture items written into texture; null when none were read and none was given.
Texture* parse_texture_items(Texture* texture) {
    const NestingLevel level;
    for (;;) {
        next_token();
        switch (tokenizer.kind) {
            case TokenKind::IDENTIFIER:
                texture = substitute([texture] { return parse_texture_items(texture); });
                break;
            case TokenKind::TEXTURE:  // "texture" "{" texture-items "}"
                if (!texture) texture = newTexture();
                expect(TokenKind::LBRACE);
                texture = parse_texture_items(texture);
                expect(TokenKind::RBRACE);
                break;
            case TokenKind::PIGMENT:  // "pigment" "{" "color" "rgb" vector "}"
                if (!texture) texture = newTexture();
                expect(TokenKind::LBRACE);
                expect(TokenKind::COLOR);
                expect(TokenKind::RGB);
                texture->colour = parse_vector();
                expect(TokenKind::RBRACE);
                break;
            case TokenKind::FINISH:  // "finish" "{" finish-items "}"
                if (!texture) texture = newTexture();
                expect(TokenKind::LBRACE);
                parse_finish(texture);
                expect(TokenKind::RBRACE);
                break;
            default:
                unget_token();
                return texture;
        }
    }
}

// camera -> "camera" "{" "location" vector "look_at" vector "}"
void parse_camera() {
    expect(TokenKind::LBRACE);
    expect(TokenKind::LOCATION);
    const Vector3 location = parse_vector();
    expect(TokenKind::LOOK_AT);
    const Vector3 look_at = parse_vector();
    expect(TokenKind::RBRACE);
    sceneView.hasCamera = true;
    sceneView.cameraLocation = location;
    sceneView.cameraLookAt = look_at;
}

// light -> "light_source" "{" vector "color" "rgb" vector "}"
void parse_light() {
    expect(TokenKind::LBRACE);
    const Vector3 location = parse_vector();
    expect(TokenKind::COLOR);
    expect(TokenKind::RGB);
    const Vector3 colour = parse_vector();
    expect(TokenKind::RBRACE);
    sceneView.hasLight = true;
    sceneView.lightLocation = location;
    sceneView.lightColour = colour;
}

// The camera and light statements that may stand before a file's object.
void parse_view_statements() {
    for (;;) {
        next_token();
        if (tokenizer.kind == TokenKind::CAMERA) {
            parse_camera();
        } else if (tokenizer.kind == TokenKind::LIGHT_SOURCE) {
            parse_light();
        } else {
            unget_token();
            return;
        }
    }
}

// Errors met while a file is read name their place on standard error, also when one unwinds.
struct LocatedErrors {
    LocatedErrors() { errorLocation = locate_scene_error; }
    ~LocatedErrors() { errorLocation = nullptr; }
    LocatedErrors(const LocatedErrors&) = delete;
    LocatedErrors& operator=(const LocatedErrors&) = delete;
};

}  // namespace

SceneView sceneView;

Object* parse_scene_file(const char* file_name) {
    // Each file starts afresh, also after a load that an error ended by unwinding: declarations
    // record positions in their own file, and nothing of an earlier file is read again.
    reset_tokenizer();
    reset_warnings();
    sceneView = SceneView{};
    nestingDepth = 0;
    substitutionDepth = 0;
    substitutionsMade = 0;
    const LocatedErrors located;
    push_state();
    open_scene_file(file_name);
    substitutionBudget =
        std::max(MIN_SUBSTITUTIONS_PER_FILE, static_cast<long>(tokenizer.text->size()) / BYTES_PER_SUBSTITUTION);
    seek_forward(0);
    parse_view_statements();
    Object* root = parse_object();
    // Nothing after the statement is read, and nothing of this file is substituted again.
    if (root) {
        if (const int32_t line = line_of_text_after_token()) warn(line, "text after the object is not read");
    }
    close_scene_file();
    return root;
}

// object-statement -> primitive | csg | "object" "{" object-statement modifiers "}"
//                   | identifier modifiers
Object* parse_object() {
    const NestingLevel level;
    next_token();
    const TokenKind kind = tokenizer.kind;
    const bool braced = is_braced_statement(kind);
    if (braced) expect(TokenKind::LBRACE);
    Object* object = nullptr;
    switch (kind) {
        case TokenKind::SPHERE: object = parse_sphere(); break;
        case TokenKind::BOX: object = parse_box(); break;
        case TokenKind::CYLINDER: object = parse_cylinder(); break;
        case TokenKind::CONE: object = parse_cone(); break;
        case TokenKind::PLANE: object = parse_plane(); break;
        case TokenKind::TORUS: object = parse_torus(); break;
        case TokenKind::PRISM: object = parse_prism(); break;
        case TokenKind::UNION: object = parse_csg(&CsgUnion); break;
        case TokenKind::MERGE: object = parse_csg(&CsgMerge); break;
        case TokenKind::INTERSECTION: object = parse_csg(&CsgIntersection); break;
        case TokenKind::DIFFERENCE: object = parse_csg(&CsgDifference); break;
        case TokenKind::OBJECT:
            object = parse_object();
            if (!object) expected("an object");
            break;
        case TokenKind::IDENTIFIER:
            object = substitute(parse_object);
            if (!object) expected("an object");
            break;
        default:
            unget_token();
            return nullptr;
    }
    parse_modifiers(object);
    if (braced) expect(TokenKind::RBRACE);
    return object;
}

void parse_csg_children(Object* node) {
    ++csgNodeCount;
    int members = 0;
    Object* last = nullptr;
    while (Object* member = parse_object()) {
        last = add_member_after(node, last, member);
        ++members;
    }
    if (members < 2) expected("at least 2 object in csg");
    compute_csg_bounds(node);
}

// Inner statements are finished first, so a member's own texture is never overwritten.
void apply_texture(Object* object, Texture* texture) {
    Texture* const plain = defaultTexture();
    for (Object* p = object; p; p = p->next) {
        if (p->texture == plain) p->texture = texture;
        if (p->children) apply_texture(p->children, texture);
    }
}

// expression -> operand [ operator expression ] | ("+" | "-") expression, where an operand
// is a number, "(" expression ")", a function call or a declared name.
double parse_expression() { return read_expression().value; }

// vector -> "<" expression "," expression "," expression ">"
Vector3 parse_vector() {
    int32_t line = 0;
    return parse_vector_at(line);
}

// vector2 -> "<" expression "," expression ">"
OutlinePoint parse_vector2() {
    int32_t line = 0;
    const std::array<double, 2> v = parse_components<2>(line);
    OutlinePoint point;
    point.x = v[0];
    point.z = v[1];
    return point;
}

int parse_integer() {
    const double value = parse_expression();
    // Outside 32 bits (or not a number at all) the truncation itself would be undefined.
    if (!(value > -2147483649.0 && value < 2147483648.0)) expected("an integer");
    const int whole = static_cast<int>(value);
    if (value - whole != 0) expected("an integer");
    return whole;
}

// transformation -> "rotate" vector | "translate" vector | "scale" vector | "matrix" matrix
Transformation parse_transformations() {
    Transformation total;
    for (;;) {
        next_token();
        Transformation local;
        switch (tokenizer.kind) {
            case TokenKind::ROTATE: rotation_transformation(parse_vector(), local); break;
            case TokenKind::TRANSLATE: translation_transformation(parse_vector(), local); break;
            case TokenKind::SCALE: {
                int32_t line = 0;
                const Vector3 factors = parse_vector_at(line);
                if (factors.x == 0 || factors.y == 0 || factors.z == 0) warn(line, "a scale factor is zero");
                scaling_transformation(factors, local);
                break;
            }
            case TokenKind::MATRIX: matrix_transformation(parse_matrix(), local); break;
            default:
                unget_token();
                return total;
        }
        compose(total, local);
    }
}

// matrix -> "<" twelve expressions separated by "," ">", three to a row; the last row is the
// translation and the fourth column stays (0, 0, 0, 1).
Matrix4 parse_matrix() {
    Matrix4 matrix;
    expect(TokenKind::LESS);
    for (int i = 0; i < 12; ++i) {
        if (i > 0) expect(TokenKind::COMMA);
        matrix.m[i / 3][i % 3] = parse_parameter();
    }
    expect(TokenKind::GREATER);
    return matrix;
}

Texture* parse_texture(Texture* texture) {
    Texture* result = parse_texture_items(texture);
    return result ? result : defaultTexture();
}

// finish-item -> ("ambient" | "diffuse" | "phong" | "phong_size" | "specular") expression
void parse_finish(Texture* texture) {
    for (;;) {
        next_token();
        const TokenKind kind = tokenizer.kind;
        if (kind < TokenKind::AMBIENT || kind > TokenKind::SPECULAR) {
            unget_token();
            return;
        }
        const double x = parse_expression();
        switch (kind) {
            case TokenKind::AMBIENT: texture->ambient = {x, x, x}; break;
            case TokenKind::DIFFUSE: texture->diffuse = x; break;
            case TokenKind::PHONG: texture->phong = x; break;
            case TokenKind::PHONG_SIZE: texture->phong_size = x; break;
            default: texture->specular = x; break;
        }
    }
}
