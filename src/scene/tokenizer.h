// The scene-language tokenizer: turns the characters of the text being read into words. The
// source stack (scene/source_stack.h) decides which text that is and what names mean.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/error.h"
#include "math/vector.h"

// Codes are fixed: the parser switches on their ranges (functions 17-25, transformations
// 26-29, object statements 30-41, sweeps 42-43, texture words 44-53); the camera and light
// words (54-57) came later and follow all of them. Words from 58 on are looked up after the
// declared names (see BUILTIN_WORDS), so a file that declares one keeps its meaning; the
// kinds from 200 on are not words of the keyword tables.
enum class TokenKind : int32_t {
    NUMBER = 0,
    COMMA = 1,
    SEMICOLON = 2,
    EQUALS = 3,
    LESS = 4,
    GREATER = 5,
    LBRACE = 6,
    RBRACE = 7,
    LPAREN = 8,
    RPAREN = 9,
    IDENTIFIER = 10,
    NONE = 11,
    END_OF_FILE = 12,
    PLUS = 13,
    MINUS = 14,
    TIMES = 15,
    DIVIDE = 16,
    SQRT = 17,
    COS = 18,
    SIN = 19,
    TAN = 20,
    ACOS = 21,
    ASIN = 22,
    ATAN = 23,
    RADIANS = 24,
    DEGREES = 25,
    ROTATE = 26,
    TRANSLATE = 27,
    SCALE = 28,
    MATRIX = 29,
    PLANE = 30,
    OBJECT = 31,
    PRISM = 32,
    SPHERE = 33,
    BOX = 34,
    CYLINDER = 35,
    CONE = 36,
    TORUS = 37,
    DIFFERENCE = 38,
    UNION = 39,
    MERGE = 40,
    INTERSECTION = 41,
    LINEAR_SWEEP = 42,
    CONIC_SWEEP = 43,
    TEXTURE = 44,
    FINISH = 45,
    PIGMENT = 46,
    AMBIENT = 47,
    DIFFUSE = 48,
    PHONG = 49,
    PHONG_SIZE = 50,
    SPECULAR = 51,
    COLOR = 52,
    RGB = 53,
    CAMERA = 54,
    LOCATION = 55,
    LOOK_AT = 56,
    LIGHT_SOURCE = 57,
    PI = 58,
    ABS = 59,
    MIN = 60,
    MAX = 61,
    POW = 62,
    FLOOR = 63,
    CEIL = 64,
    MOD = 65,
    EXP = 66,
    LOG = 67,
    ATAN2 = 68,
    SEED = 69,
    RAND = 70,
    VLENGTH = 71,
    VNORMALIZE = 72,
    VDOT = 73,
    VCROSS = 74,
    CLOCK = 75,
    BACKGROUND = 76,
    CHECKER = 77,
    REFLECTION = 78,
    TRANSMIT = 79,
    IOR = 80,
    VECTOR = 200,      // a loop name or macro parameter standing for a vector (tokenizer.vector)
    MACRO = 201,       // a macro's name (tokenizer.index: the macro)
    STREAM = 202,      // a name declared as seed(...) (tokenizer.index: the random stream)
    COMPONENT = 203,   // ".x", ".y" or ".z" right after a name or ")" (the letter in tokenizer.name)
    HASH = 204,        // "#": a directive follows
    LESS_EQUAL = 205,  // "<=", "!=", "!", "&", "|" and ">=" exist only inside the brackets of #if
    GREATER_EQUAL = 206,
    NOT_EQUAL = 207,
    NOT = 208,
    AND = 209,
    OR = 210,
};

// The bytes of a file in pages of their own, so that a part read for good can be given back
// to the system while the rest is read.
class TextPages {
public:
    TextPages() = default;
    TextPages(TextPages&& other) noexcept;
    TextPages& operator=(TextPages&& other) = delete;
    TextPages(const TextPages&) = delete;
    TextPages& operator=(const TextPages&) = delete;
    ~TextPages();

    // Room for at least capacity bytes past the size, keeping the bytes held.
    void reserve(size_t capacity);
    char* free_start() { return data_ + size_; }
    size_t room() const { return mapped_ - size_; }
    void grow(size_t count) { size_ += count; }
    std::string_view view() const { return {data_, size_}; }
    // Gives back every whole page before offset; reading there afterwards is a fault.
    void release_before(size_t offset);

private:
    char* data_ = nullptr;
    size_t size_ = 0;
    size_t mapped_ = 0;
    size_t released_ = 0;
};

// One scene file's text, read once and kept while the scene is read.
struct SourceText {
    std::string path;  // as opened: the main file as given, an included one beside its includer
    TextPages pages;
    std::string_view text;  // the bytes of pages
    size_t start = 0;               // after a byte-order mark
    size_t first_word = 0;          // where the first word after blanks and comments stands
    bool usual_arithmetic = false;  // the first word is #usual_arithmetic
};

struct SymbolEntry {
    TokenKind kind = TokenKind::NONE;
    std::string name;
    int32_t position = 0;  // byte offset of a declared name's text; 0 for keywords
    int32_t line = 0;      // line of that offset, so a use can seek straight to it
    int32_t declaration_line = 0;  // line of the "#" that declared it
    const SourceText* source = nullptr;  // the text a declared name's text stands in
    int32_t index = -1;                  // a macro's or a random stream's number
};

// Keywords first, declarations appended; the first entry with a matching name wins.
using SymbolTable = std::vector<SymbolEntry>;

inline constexpr int KEYWORD_COUNT = 41;

struct Keyword {
    const char* name;
    TokenKind kind;
};

// The table every scene file starts with: the keywords in their fixed order.
SymbolTable keyword_table();
// The kind of a keyword of the table; NONE for other words.
TokenKind keyword_kind(const std::string& name);
// The kind of a word that is looked up only after the declared names; NONE for other words.
TokenKind builtin_word(const std::string& name);
// The spelling of a keyword or built-in word kind; "" for other kinds.
const char* word_of(TokenKind kind);

// Copied whole onto the state stack, so every field must stay a value (the texts it points
// into are owned by the source stack and outlive every copy).
struct Tokenizer {
    const SourceText* source = nullptr;  // the text being read
    const std::string_view* text = nullptr;  // source->text
    size_t at = 0;                      // offset of the next character to read
    size_t token_start = 0;             // offset of the current token's first character
    size_t scan_start = 0;              // where reading for the current token began
    int32_t scan_line = 0;              // the line at scan_start
    bool unget_pending = false;  // the next next_token returns the current token again
    SymbolTable symbols = keyword_table();
    TokenKind kind = TokenKind::NONE;
    double number = 0;           // value of a NUMBER
    int32_t position = 0;        // text position of an IDENTIFIER, 0 for keywords
    int32_t position_line = 0;   // the line at that position
    const SourceText* position_source = nullptr;  // the text that position is in
    int32_t index = -1;          // a MACRO's or STREAM's number
    Vector3 vector;              // value of a VECTOR
    bool name_at_end = false;    // the last name read ran into the end of its text
    size_t component_at = std::string::npos;  // right after a name or ")": a "." there is a component
    std::string name;            // last name read
    std::string file_name;       // source->path
    int32_t line = 0;            // 1 after opening
};

extern Tokenizer tokenizer;
// Set while the condition of an #if is read: only then are "<=", ">=", "!=", "!", "&" and
// "|" words.
extern bool readingCondition;

// Reads the file whole (its size checked first) and keeps it for as long as the scene is read.
// A file that cannot be read is fatal; include_line is the line of the #include that asks
// for it, or 0 for a scene file named by the program.
const SourceText* load_source_text(const std::string& path, int32_t include_line);
// Reads the given text from its start.
void start_reading(const SourceText* source);
// Forgets every file text read.
void forget_source_texts();
// Gives back the pages of the text before offset: nothing reads there again.
void release_text_before(const SourceText* source, size_t offset);

// The characters of the next word: punctuation, a NUMBER, a name (kind NONE, its text in
// tokenizer.name), HASH, COMPONENT or END_OF_FILE. Names are looked up by the source stack.
void scan_token();
void skip_blank();
// Appends letters, digits and underscores to tokenizer.name (which it clears first); a name
// that runs into the end of the text sets tokenizer.name_at_end.
void read_name();
// The "Could not read a name" error, at the current line.
[[noreturn]] void name_at_end_error();

// The first entry with the given name, or null.
const SymbolEntry* find_symbol(const std::string& name);
// Cuts the symbol table back to count entries.
void cut_symbols(size_t count);
// Forgets the index of the symbol table, for a table that starts again.
void forget_symbol_index();

// Reads up to the given byte offset, counting lines on the way.
void seek_forward(int32_t position);
// Jumps to a position whose line is known, as seek_forward from the start would arrive there.
void seek_to(int32_t position, int32_t line);

// The line where text other than blanks and comments follows the last token used (the
// current one, or the one before it when the current one is pushed back); 0 when none does.
// Reads nothing through the tokenizer and reports nothing.
int32_t line_of_text_after_token();

// The place an error is about while a file is open: its path as opened and the current line.
bool locate_scene_error(ErrorLocation& where);

// The source text of the current token, as written; it stays until the file texts are forgotten.
std::string_view token_text();
