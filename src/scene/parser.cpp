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
#include "base/scene_clock.h"
#include "objects/box.h"
#include "objects/cone.h"
#include "objects/csg.h"
#include "objects/plane.h"
#include "objects/scene_store.h"
#include "objects/sphere.h"
#include "objects/texture.h"
#include "objects/torus.h"
#include "scene/source_stack.h"
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
    // Inside loops and macros the words read bound the work instead.
    const long budget = std::max(MIN_SUBSTITUTIONS_PER_FILE, bytes_read() / BYTES_PER_SUBSTITUTION);
    if (!reading_loop_or_macro() && ++substitutionsMade > budget)
        fatal_error(PARSER_ERROR, MODULE, "Expected at most %ld substitutions in line %d", budget, tokenizer.line);
    enter_declared_text();
    auto result = parse();
    leave_source();
    return result;
}

std::vector<Value> read_arguments();

// Reads the body of the macro named by the current token with parse, after its arguments.
template <class Parse>
auto call_macro(Parse parse) {
    const int32_t macro = tokenizer.index;
    const int32_t line = tokenizer.line;
    const std::vector<Value> arguments = read_arguments();
    enter_macro(macro, arguments, line);
    auto result = parse();
    leave_source();
    return result;
}

bool is_function(TokenKind kind) { return kind >= TokenKind::SQRT && kind <= TokenKind::DEGREES; }

// The functions of one number that came later: abs, floor, ceil, exp, log.
bool is_number_function(TokenKind kind) {
    return is_function(kind) || kind == TokenKind::ABS || kind == TokenKind::FLOOR || kind == TokenKind::CEIL ||
           kind == TokenKind::EXP || kind == TokenKind::LOG;
}

bool is_pair_function(TokenKind kind) {
    return kind == TokenKind::MIN || kind == TokenKind::MAX || kind == TokenKind::POW || kind == TokenKind::MOD ||
           kind == TokenKind::ATAN2;
}

bool is_vector_function(TokenKind kind) {
    return kind == TokenKind::VLENGTH || kind == TokenKind::VNORMALIZE || kind == TokenKind::VDOT ||
           kind == TokenKind::VCROSS;
}

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
        case TokenKind::ABS: return std::fabs(x);
        case TokenKind::FLOOR: return std::floor(x);
        case TokenKind::CEIL: return std::ceil(x);
        case TokenKind::EXP: return std::exp(x);
        case TokenKind::LOG: return std::log(x);
        default: return x * RAD_TO_DEG;  // degrees
    }
}

double apply_pair_function(TokenKind function, double a, double b) {
    switch (function) {
        case TokenKind::MIN: return std::min(a, b);
        case TokenKind::MAX: return std::max(a, b);
        case TokenKind::POW: return std::pow(a, b);
        case TokenKind::MOD: return std::fmod(a, b);  // the remainder with the sign of a
        default: return std::atan2(a, b);
    }
}

Value number_value(double number) { return {false, number, {}}; }
Value vector_value(const Vector3& vector) { return {true, 0, vector}; }

[[noreturn]] void expected_at(const char* what, int32_t line) {
    tokenizer.line = line;
    expected(what);
}

double number_of(const Value& value, int32_t line) {
    if (value.is_vector) expected_at("a number", line);
    return value.number;
}

Vector3 vector_of(const Value& value, int32_t line) {
    if (!value.is_vector) expected_at("a vector", line);
    return value.vector;
}

// One item of an expression as written: an operand (number, vector, group, function call,
// name or macro call with its value), a sign in front of what follows, or an operator
// between two operands. An operand's text is spelled out only for a warning (term_text).
struct Term {
    enum class Kind { OPERAND, SIGN, OPERATOR };
    Kind kind = Kind::OPERAND;
    int32_t line = 0;
    char symbol = 0;
    bool literal = false;          // a vector literal: its numbers as warnings show them
    char component = 0;            // the "x", "y" or "z" taken from the operand, or 0
    Value value;
    std::string_view number_text;  // a number: as written in the scene text
    Vector3 literal_vector;
    std::string text;              // any other operand
};

// The terms of every expression being read, innermost last. An expression read inside an
// operand (a group, an argument, a number of a vector literal) stands above the terms of the
// expression around it and is gone before that operand is added, so one stack serves them all
// without an allocation for each expression.
std::vector<Term> termStack;

// The terms of one expression: termStack from its first one on, removed when the expression
// has been read, also when an error unwinds.
class Terms {
public:
    Terms() : first_(termStack.size()) {}
    ~Terms() { termStack.resize(first_); }
    Terms(const Terms&) = delete;
    Terms& operator=(const Terms&) = delete;

    void push_back(Term&& term) { termStack.push_back(std::move(term)); }
    size_t size() const { return termStack.size() - first_; }
    bool empty() const { return size() == 0; }
    const Term& operator[](size_t at) const { return termStack[first_ + at]; }
    const Term& front() const { return termStack[first_]; }
    const Term& back() const { return termStack.back(); }
    const Term* begin() const { return termStack.data() + first_; }
    const Term* end() const { return termStack.data() + termStack.size(); }

private:
    size_t first_;
};

struct Expression {
    Value value;
    int32_t line = 0;  // where it starts
};

Expression read_expression(bool vector_first, std::string* text = nullptr);

char operator_symbol(TokenKind kind) {
    switch (kind) {
        case TokenKind::PLUS: return '+';
        case TokenKind::MINUS: return '-';
        case TokenKind::TIMES: return '*';
        default: return '/';
    }
}

// The value of an operator between two values; false when the operator cannot join them
// (a number added to a vector, a vector times a vector).
bool apply_operator(char symbol, const Value& left, const Value& right, Value& result) {
    if (!left.is_vector && !right.is_vector) {
        const double a = left.number, b = right.number;
        result = number_value(symbol == '+' ? a + b : symbol == '-' ? a - b : symbol == '*' ? a * b : a / b);
        return true;
    }
    if (symbol == '+' || symbol == '-') {
        if (!left.is_vector || !right.is_vector) return false;
        result = vector_value(symbol == '+' ? left.vector + right.vector : left.vector - right.vector);
        return true;
    }
    if (left.is_vector && right.is_vector) return false;
    if (symbol == '*') {
        result = left.is_vector ? vector_value(left.vector * right.number) : vector_value(right.vector * left.number);
        return true;
    }
    if (!left.is_vector) return false;
    const Vector3& v = left.vector;
    result = vector_value({v.x / right.number, v.y / right.number, v.z / right.number});
    return true;
}

Value apply_sign(char sign, const Value& value) {
    if (sign == '+') return value;
    return value.is_vector ? vector_value(value.vector * -1.0) : number_value(-value.number);
}

// "(" value { "," value } ")" after a function's name; each argument is worked out once.
std::vector<Value> read_values_in_brackets(size_t count, std::string& text) {
    std::vector<Value> values;
    expect(TokenKind::LPAREN);
    text += "(";
    for (size_t i = 0; i < count; ++i) {
        if (i > 0) {
            expect(TokenKind::COMMA);
            text += ", ";
        }
        values.push_back(read_expression(true, &text).value);
    }
    expect(TokenKind::RPAREN);
    text += ")";
    return values;
}

// arguments -> "(" [ value { "," value } ] ")"
std::vector<Value> read_arguments() {
    std::vector<Value> arguments;
    expect(TokenKind::LPAREN);
    next_token();
    if (tokenizer.kind == TokenKind::RPAREN) return arguments;
    unget_token();
    for (;;) {
        arguments.push_back(read_expression(true).value);
        next_token();
        if (tokenizer.kind == TokenKind::RPAREN) return arguments;
        if (tokenizer.kind != TokenKind::COMMA) expected(")");
    }
}

double parse_parameter();

// vector-literal -> "<" expression "," expression "," expression ">"
Vector3 read_vector_literal() {
    std::array<double, 3> v{};
    for (size_t i = 0; i < 3; ++i) {
        if (i > 0) expect(TokenKind::COMMA);
        v[i] = parse_parameter();
    }
    expect(TokenKind::GREATER);
    return {v[0], v[1], v[2]};
}

double condition_or();

// The operand that starts with the current token (number, vector, group, function call,
// declared name, macro call), with a component after it.
Term read_operand(TokenKind kind, int32_t line) {
    Term term;
    term.line = line;
    if (kind == TokenKind::NUMBER) {
        term.value = number_value(tokenizer.number);
        term.number_text = token_text();
    } else if (kind == TokenKind::VECTOR) {
        term.value = vector_value(tokenizer.vector);
        term.text = tokenizer.name;
    } else if (kind == TokenKind::LESS) {
        term.literal_vector = read_vector_literal();
        term.literal = true;
        term.value = vector_value(term.literal_vector);
    } else if (kind == TokenKind::LPAREN) {
        if (readingCondition) {
            // Inside #if brackets a group may hold a comparison, worth 1 or 0.
            term.value = number_value(condition_or());
            term.text = "(...)";
        } else {
            term.text = "(";
            term.value = read_expression(true, &term.text).value;
            term.text += ")";
        }
        expect(TokenKind::RPAREN);
    } else if (kind == TokenKind::IDENTIFIER) {
        term.text = tokenizer.name;
        term.value = substitute([] { return read_expression(true).value; });
    } else if (kind == TokenKind::MACRO) {
        term.text = tokenizer.name + "(...)";
        term.value = call_macro([] { return read_expression(true).value; });
    } else if (kind == TokenKind::PI) {
        term.value = number_value(M_PI);
        term.text = "pi";
    } else if (kind == TokenKind::CLOCK) {
        term.value = number_value(sceneClock);
        term.text = "clock";
    } else if (kind == TokenKind::RAND) {
        term.text = "rand(" ;
        expect(TokenKind::LPAREN);
        next_token();
        if (tokenizer.kind != TokenKind::STREAM) expected("a random stream");
        term.text += tokenizer.name + ")";
        term.value = number_value(draw_random(tokenizer.index));
        expect(TokenKind::RPAREN);
    } else {
        term.text = tokenizer.name;
        if (is_number_function(kind)) {
            const std::vector<Value> x = read_values_in_brackets(1, term.text);
            term.value = number_value(apply_function(kind, number_of(x[0], line)));
        } else if (is_pair_function(kind)) {
            const std::vector<Value> x = read_values_in_brackets(2, term.text);
            term.value = number_value(apply_pair_function(kind, number_of(x[0], line), number_of(x[1], line)));
        } else if (kind == TokenKind::VLENGTH || kind == TokenKind::VNORMALIZE) {
            const Vector3 v = vector_of(read_values_in_brackets(1, term.text)[0], line);
            term.value = kind == TokenKind::VLENGTH ? number_value(length(v)) : vector_value(v * (1 / length(v)));
        } else {
            const std::vector<Value> x = read_values_in_brackets(2, term.text);
            const Vector3 a = vector_of(x[0], line), b = vector_of(x[1], line);
            term.value = kind == TokenKind::VDOT ? number_value(dot(a, b)) : vector_value(cross(a, b));
        }
    }
    next_token();
    if (tokenizer.kind != TokenKind::COMPONENT) {
        unget_token();
        return term;
    }
    const Vector3 v = vector_of(term.value, tokenizer.line);
    const std::string& axis = tokenizer.name;
    if (axis != "x" && axis != "y" && axis != "z") expected("x, y or z");
    term.value = number_value(axis == "x" ? v.x : axis == "y" ? v.y : v.z);
    term.component = axis[0];
    return term;
}

bool starts_operand(TokenKind kind) {
    return kind == TokenKind::NUMBER || kind == TokenKind::LPAREN || kind == TokenKind::IDENTIFIER ||
           kind == TokenKind::VECTOR || kind == TokenKind::MACRO || kind == TokenKind::PI ||
           kind == TokenKind::CLOCK || kind == TokenKind::RAND || is_number_function(kind) || is_pair_function(kind) || is_vector_function(kind);
}

Term symbol_term(Term::Kind kind, TokenKind symbol, int32_t line) {
    Term term;
    term.kind = kind;
    term.symbol = operator_symbol(symbol);
    term.line = line;
    return term;
}

// The terms of one expression as written, in order. The recursion follows the language's own
// grouping, each operator taking the whole rest as its right operand. A vector literal may
// start an operand unless this is the start of an expression that must give a number.
void read_terms(Terms& terms, bool vector_first) {
    const NestingLevel level;
    bool have_value = false;
    for (;;) {
        next_token();
        const TokenKind kind = tokenizer.kind;
        const int32_t line = tokenizer.line;
        if (kind == TokenKind::PLUS || kind == TokenKind::MINUS) {
            terms.push_back(symbol_term(have_value ? Term::Kind::OPERATOR : Term::Kind::SIGN, kind, line));
            read_terms(terms, true);
            return;
        }
        if (kind == TokenKind::TIMES || kind == TokenKind::DIVIDE) {
            if (!have_value) expected("a number");
            terms.push_back(symbol_term(Term::Kind::OPERATOR, kind, line));
            read_terms(terms, true);
            return;
        }
        if (starts_operand(kind) || (kind == TokenKind::LESS && !have_value && (vector_first || !terms.empty()))) {
            // What follows a vector is the next item of the statement (a declared texture
            // after a translation); two numbers in a row are an error.
            if (have_value && terms.back().value.is_vector) break;
            if (have_value) expected("a number");
            terms.push_back(read_operand(kind, line));
            have_value = true;
            continue;
        }
        if (!have_value) expected("a number");
        break;
    }
    unget_token();
}

// A value with its bracketed form (spelled out only when asked for); leaf marks a single
// operand, which needs no brackets. When an operator could not join its operands, wanted
// says what its right operand should have been, and line where the operator stands.
struct Reading {
    Value value;
    std::string text;
    bool leaf = true;
    const char* wanted = nullptr;
    int32_t line = 0;
};

std::string value_text(const Value& value) {
    if (!value.is_vector) return warning_number(value.number);
    const Vector3& v = value.vector;
    return "<" + warning_number(v.x) + ", " + warning_number(v.y) + ", " + warning_number(v.z) + ">";
}

std::string term_text(const Term& term) {
    std::string text = term.literal            ? value_text(vector_value(term.literal_vector))
                       : term.number_text.data() ? std::string(term.number_text)
                                                 : term.text;
    if (term.component) (text += '.') += term.component;
    return text;
}

std::string bracketed(const Reading& reading) { return reading.leaf ? reading.text : "(" + reading.text + ")"; }

Reading operand_reading(const Term& term, bool spelled) {
    return {term.value, spelled ? term_text(term) : std::string(), true, nullptr, term.line};
}

Reading sign_applied(const Term& sign, const Reading& operand, bool spelled) {
    Reading result = operand;
    result.value = apply_sign(sign.symbol, operand.value);
    result.text = spelled ? std::string(1, sign.symbol) + bracketed(operand) : std::string();
    result.leaf = false;
    return result;
}

Reading operator_applied(const Term& op, const Reading& left, const Reading& right, bool spelled) {
    Reading result{{}, spelled ? bracketed(left) + " " + op.symbol + " " + bracketed(right) : std::string(), false,
                   left.wanted ? left.wanted : right.wanted, left.wanted ? left.line : right.line};
    if (!result.wanted && !apply_operator(op.symbol, left.value, right.value, result.value)) {
        // Only a vector is added to a vector; everything else wants a number on its right.
        result.wanted = (op.symbol == '+' || op.symbol == '-') && left.value.is_vector ? "a vector" : "a number";
        result.line = op.line;
    }
    return result;
}

// The language's grouping of terms[at...].
Reading language_reading(const Terms& terms, size_t at, bool spelled) {
    const Term& term = terms[at];
    if (term.kind == Term::Kind::SIGN) return sign_applied(term, language_reading(terms, at + 1, spelled), spelled);
    const Reading operand = operand_reading(term, spelled);
    if (at + 1 == terms.size()) return operand;
    return operator_applied(terms[at + 1], operand, language_reading(terms, at + 2, spelled), spelled);
}

// The reading with the usual precedence (signs, then * and /, then + and -) and left grouping.
class UsualReading {
public:
    UsualReading(const Terms& terms, bool spelled) : terms_(terms), spelled_(spelled) {}

    Reading sum() {
        Reading value = product();
        while (at_operator("+-")) {
            const Term& op = terms_[at_++];
            value = operator_applied(op, value, product(), spelled_);
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
            const Term& op = terms_[at_++];
            value = operator_applied(op, value, signed_operand(), spelled_);
        }
        return value;
    }

    Reading signed_operand() {
        const Term& term = terms_[at_++];
        if (term.kind == Term::Kind::SIGN) return sign_applied(term, signed_operand(), spelled_);
        return operand_reading(term, spelled_);
    }

    const Terms& terms_;
    const bool spelled_;
    size_t at_ = 0;
};

// Rounding alone does not count: the readings differ in what they mean.
bool numbers_differ(double a, double b) {
    if (std::isnan(a) || std::isnan(b)) return std::isnan(a) != std::isnan(b);
    if (!std::isfinite(a) || !std::isfinite(b)) return a != b;
    return std::fabs(a - b) > 1e-12 * std::max(std::fabs(a), std::fabs(b));
}

bool values_differ(const Value& a, const Value& b) {
    if (a.is_vector != b.is_vector) return true;
    if (!a.is_vector) return numbers_differ(a.number, b.number);
    return numbers_differ(a.vector.x, b.vector.x) || numbers_differ(a.vector.y, b.vector.y) ||
           numbers_differ(a.vector.z, b.vector.z);
}

std::string written_text(const Terms& terms) {
    std::string text;
    for (const Term& term : terms) {
        if (term.kind == Term::Kind::OPERATOR) text += std::string(" ") + term.symbol + " ";
        else if (term.kind == Term::Kind::SIGN) text += term.symbol;
        else text += term_text(term);
    }
    return text;
}

Value valid_value(const Reading& reading) {
    if (reading.wanted) expected_at(reading.wanted, reading.line);
    return reading.value;
}

// Reads one expression, grouped as the file it is written in asks; in a file of the
// language's own grouping, warns when the usual grouping would give another value. The
// expression as written (one space around each operator) is appended to text when it is given.
Expression read_expression(bool vector_first, std::string* text) {
    Terms terms;
    Expression expression;
    read_terms(terms, vector_first);
    expression.line = terms.front().line;
    if (text) *text += written_text(terms);
    // One operand, or a sign and one operand, reads the same in both groupings.
    if (terms.size() == 1) {
        expression.value = terms.front().value;
        return expression;
    }
    if (terms.size() == 2) {
        expression.value = apply_sign(terms[0].symbol, terms[1].value);
        return expression;
    }
    if (usual_arithmetic()) {
        expression.value = valid_value(UsualReading(terms, false).sum());
        return expression;
    }
    expression.value = valid_value(language_reading(terms, 0, false));
    // With a single operator, or none, both readings are the same.
    if (quietWarnings || terms.size() <= 3) return expression;
    const Reading usual_value = UsualReading(terms, false).sum();
    if (usual_value.wanted || !values_differ(expression.value, usual_value.value)) return expression;
    const Reading language = language_reading(terms, 0, true);
    const Reading usual = UsualReading(terms, true).sum();
    warn(expression.line, "'%s' is read as %s = %s, not %s = %s", written_text(terms).c_str(),
         language.text.c_str(), value_text(language.value).c_str(), usual.text.c_str(),
         value_text(usual.value).c_str());
    return expression;
}

void warn_if_not_finite(double value, int32_t line) {
    if (!std::isfinite(value))
        warn(line, "a number that is not finite (%s) is used here", warning_number(value).c_str());
}

// An expression that gives a size, a position or a colour.
double parse_parameter() {
    const Expression expression = read_expression(false);
    const double value = number_of(expression.value, tokenizer.line);
    warn_if_not_finite(value, expression.line);
    return value;
}

bool starts_vector(TokenKind kind) {
    return kind == TokenKind::LESS || kind == TokenKind::IDENTIFIER || kind == TokenKind::VECTOR ||
           kind == TokenKind::MACRO || kind == TokenKind::LPAREN || kind == TokenKind::PLUS ||
           kind == TokenKind::MINUS || kind == TokenKind::VNORMALIZE || kind == TokenKind::VCROSS;
}

// A vector where one is written: "<" x "," y "," z ">" or any expression that gives a vector;
// with number_too, a number n stands for <n, n, n>. line is where it starts.
Vector3 parse_vector_at(int32_t& line, bool number_too = false) {
    next_token();
    line = tokenizer.line;
    const TokenKind kind = tokenizer.kind;
    if (!starts_vector(kind) && !(number_too && starts_operand(kind))) expected("<");
    unget_token();
    const Value value = read_expression(true).value;
    if (value.is_vector) return value.vector;
    if (!number_too) expected("<");
    return {value.number, value.number, value.number};
}

double condition_value();

// comparison -> negation [ ("<" | "<=" | ">" | ">=" | "=" | "!=") negation ]
double comparison() {
    const double left = condition_value();
    next_token();
    const TokenKind kind = tokenizer.kind;
    switch (kind) {
        case TokenKind::LESS: return left < condition_value();
        case TokenKind::LESS_EQUAL: return left <= condition_value();
        case TokenKind::GREATER: return left > condition_value();
        case TokenKind::GREATER_EQUAL: return left >= condition_value();
        case TokenKind::EQUALS: return left == condition_value();
        case TokenKind::NOT_EQUAL: return left != condition_value();
        default: unget_token(); return left;
    }
}

// negation -> "!" negation | expression
double condition_value() {
    const NestingLevel level;
    next_token();
    if (tokenizer.kind == TokenKind::NOT) return condition_value() == 0;
    unget_token();
    const Expression expression = read_expression(false);
    return number_of(expression.value, tokenizer.line);
}

// conjunction -> comparison { "&" comparison }
double condition_and() {
    double value = comparison();
    for (;;) {
        next_token();
        if (tokenizer.kind != TokenKind::AND) {
            unget_token();
            return value;
        }
        const double right = comparison();
        value = value != 0 && right != 0;
    }
}

// condition -> conjunction { "|" conjunction }
double condition_or() {
    double value = condition_and();
    for (;;) {
        next_token();
        if (tokenizer.kind != TokenKind::OR) {
            unget_token();
            return value;
        }
        const double right = condition_and();
        value = value != 0 || right != 0;
    }
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
    // Giving the default texture to what holds the default texture changes nothing.
    Texture* const texture = parse_texture(nullptr);
    if (texture != defaultTexture()) apply_texture(object, shareTexture(texture));
}

// "color" "rgb" vector
Vector3 parse_colour() {
    expect(TokenKind::COLOR);
    expect(TokenKind::RGB);
    return parse_vector();
}

// pigment -> "pigment" "{" [ "checker" colour ] colour "}": a pigment block says the whole
// pigment, so a plain one written after a checker replaces it.
void parse_pigment(Texture& texture) {
    expect(TokenKind::LBRACE);
    next_token();
    const bool checker = tokenizer.kind == TokenKind::CHECKER;
    if (!checker) unget_token();
    texture.pattern = checker ? Pattern::checker : Pattern::plain;
    texture.colour = parse_colour();
    if (checker) texture.checkerColour = parse_colour();
    expect(TokenKind::RBRACE);
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
            case TokenKind::MACRO:  // a call whose body is an object ends the texture items
                if (!macro_gives_texture(tokenizer.index)) {
                    unget_token();
                    return texture;
                }
                texture = call_macro([texture] { return parse_texture_items(texture); });
                break;
            case TokenKind::TEXTURE:  // "texture" "{" texture-items "}"
                if (!texture) texture = newTexture();
                expect(TokenKind::LBRACE);
                texture = parse_texture_items(texture);
                expect(TokenKind::RBRACE);
                break;
            case TokenKind::PIGMENT:
                if (!texture) texture = newTexture();
                parse_pigment(*texture);
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
    const Vector3 colour = parse_colour();
    expect(TokenKind::RBRACE);
    sceneView.hasLight = true;
    sceneView.lightLocation = location;
    sceneView.lightColour = colour;
    sceneView.lights.push_back({colour, location});
}

// background -> "background" "{" "color" "rgb" vector "}"
void parse_background() {
    expect(TokenKind::LBRACE);
    const Vector3 colour = parse_colour();
    expect(TokenKind::RBRACE);
    sceneView.hasBackground = true;
    sceneView.background = colour;
}

// The camera, light and background statements that may stand before a file's object.
void parse_view_statements() {
    for (;;) {
        next_token();
        if (tokenizer.kind == TokenKind::CAMERA) {
            parse_camera();
        } else if (tokenizer.kind == TokenKind::LIGHT_SOURCE) {
            parse_light();
        } else if (tokenizer.kind == TokenKind::BACKGROUND) {
            parse_background();
        } else {
            unget_token();
            return;
        }
    }
}

bool is_finish_item(TokenKind kind) {
    return (kind >= TokenKind::AMBIENT && kind <= TokenKind::SPECULAR) || kind == TokenKind::REFLECTION ||
           kind == TokenKind::TRANSMIT || kind == TokenKind::IOR;
}

// The finish items that send rays on take only values that mean something there: reflection
// and transmit are shares of 0 to 1, and the index of refraction must be above 0 and finite
// for the refracted ray to have a direction. Out of range is reported where the value starts.
void set_secondary_ray_item(Texture& texture, TokenKind kind) {
    const Expression expression = read_expression(false);
    const double x = number_of(expression.value, tokenizer.line);
    if (kind == TokenKind::IOR) {
        if (!(x > 0 && std::isfinite(x))) expected_at("a finite number above 0 after ior", expression.line);
        texture.ior = x;
        return;
    }
    if (!(x >= 0 && x <= 1)) expected_at(kind == TokenKind::REFLECTION ? "a number from 0 to 1 after reflection"
                                                                        : "a number from 0 to 1 after transmit",
                                         expression.line);
    (kind == TokenKind::REFLECTION ? texture.reflection : texture.transmit) = x;
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
//                   | identifier modifiers | macro-call
Object* parse_object() {
    const NestingLevel level;
    release_text_read();
    next_token();
    const TokenKind kind = tokenizer.kind;
    const bool braced = is_braced_statement(kind);
    // Where a statement that makes an object stands, for the question of what made it.
    Origin origin;
    if (braced && kind != TokenKind::OBJECT) {
        if (objectCount >= loadLimits.objects)
            fatal_error(PARSER_ERROR, MODULE, "More than %d objects in line %d", loadLimits.objects, tokenizer.line);
        origin = {word_of(kind), recordPath(tokenizer.file_name), tokenizer.line, current_origin_link()};
    }
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
        case TokenKind::MACRO:
            // A call is a whole statement: what follows it (after a loop's #end, say) belongs
            // to the statement around it. "object" "{" call modifiers "}" modifies it.
            object = call_macro(parse_object);
            if (!object) expected("an object");
            return object;
        default:
            unget_token();
            return nullptr;
    }
    if (*origin.word) recordOrigin(object, origin);
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
double parse_expression() { return number_of(read_expression(false).value, tokenizer.line); }

// vector -> "<" expression "," expression "," expression ">" | an expression giving a vector
Vector3 parse_vector() {
    int32_t line = 0;
    return parse_vector_at(line);
}

// vector2 -> "<" expression "," expression ">"
OutlinePoint parse_vector2() {
    OutlinePoint point;
    expect(TokenKind::LESS);
    point.x = parse_parameter();
    expect(TokenKind::COMMA);
    point.z = parse_parameter();
    expect(TokenKind::GREATER);
    return point;
}

bool parse_condition() { return condition_or() != 0; }

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
                const Vector3 factors = parse_vector_at(line, true);
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

// finish-item -> ("ambient" | "diffuse" | "phong" | "phong_size" | "specular" | "reflection"
//                 | "transmit" | "ior") expression
void parse_finish(Texture* texture) {
    for (;;) {
        next_token();
        const TokenKind kind = tokenizer.kind;
        if (!is_finish_item(kind)) {
            unget_token();
            return;
        }
        if (kind == TokenKind::REFLECTION || kind == TokenKind::TRANSMIT || kind == TokenKind::IOR) {
            set_secondary_ray_item(*texture, kind);
            continue;
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
