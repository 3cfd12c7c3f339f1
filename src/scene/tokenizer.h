// The scene-language tokenizer: one global reader over the current scene file, its symbol
// table of keywords and declared names, and the saved states that substitution returns to.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "base/error.h"

// Codes are fixed: the parser switches on their ranges (functions 17-25, transformations
// 26-29, object statements 30-41, sweeps 42-43, texture words 44-53); the camera and light
// words (54-57) came later and follow all of them.
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
};

struct SymbolEntry {
    TokenKind kind = TokenKind::NONE;
    std::string name;
    int32_t position = 0;  // byte offset of a declared name's text; 0 for keywords
    int32_t line = 0;      // line of that offset, so a use can seek straight to it
    int32_t declaration_line = 0;  // line of the "#" that declared it
};

// Keywords first, declarations appended; the first entry with a matching name wins.
using SymbolTable = std::vector<SymbolEntry>;

inline constexpr int KEYWORD_COUNT = 41;

// The table every scene file starts with: the keywords in their fixed order.
SymbolTable keyword_table();

// Copied whole onto the state stack, so every field must stay a value (the text it points
// into is owned by the tokenizer module and outlives every copy).
struct Tokenizer {
    const std::string* text = nullptr;  // the whole current scene file, read once at opening
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
    std::string name;            // last name read
    std::string file_name;
    int32_t line = 0;            // 1 after opening
};

extern Tokenizer tokenizer;

// Reads the whole file into memory (skipping a UTF-8 byte-order mark) and reads it from its
// start. A missing file is fatal ("file not found: ").
void open_scene_file(const char* file_name);
// Forgets the current file and every text read: nothing saved on the state stack may read
// them again. Errors from here on are no longer located in a file.
void close_scene_file();
void next_token();
void unget_token();
void skip_blank();
// Appends letters, digits and underscores to tokenizer.name (which it clears first).
void read_name();

// Declarations: called by next_token right after it has read "#".
void process_declaration();

// The state stack: deep copies of the whole tokenizer.
void push_state();
// Returns to the last saved state.
void pop_state();
int state_depth();
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

// The source text of the current token, as written.
std::string token_text();

// Forgets every file text, empties the state stack and starts again from the keywords alone.
void reset_tokenizer();
