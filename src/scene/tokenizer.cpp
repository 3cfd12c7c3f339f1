// Reads scene files, each held in memory once, character by character into tokens, carries
// out declarations, and keeps the stack of saved tokenizer states that substitution returns to.
#include "scene/tokenizer.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <deque>
#include <unordered_map>

#include "base/error.h"
#include "scene/warnings.h"

Tokenizer tokenizer;

namespace {

inline constexpr int TOKENIZER_ERROR = 9001;
inline constexpr const char* MODULE = "tokenizer";
// Longest word echoed after an unknown character: enough to recognise it, never a flood.
inline constexpr size_t MAX_ECHO = 40;
// Declarations may stand inside declarations; a deeper pile can only come from a broken file.
inline constexpr int MAX_DECLARATION_NESTING = 1000;
// Substitution re-reads declared texts, so names built from names can multiply the text
// read without bound. A file may read this many tokens, or more in proportion to its size:
// the work stays linear in what is read, while a blow-up is stopped early.
inline constexpr long MAX_TOKENS = 10000000;
inline constexpr long TOKENS_PER_BYTE = 4;
// The byte-order mark some editors write at the start of a UTF-8 file.
inline constexpr char BYTE_ORDER_MARK[] = "\xEF\xBB\xBF";

struct Keyword {
    const char* name;
    TokenKind kind;
};

// ORDER MATTERS: lookup scans from the front, and scene files have always been read
// against this order.
constexpr std::array<Keyword, KEYWORD_COUNT> KEYWORDS{{
    {"rotate", TokenKind::ROTATE},
    {"translate", TokenKind::TRANSLATE},
    {"scale", TokenKind::SCALE},
    {"matrix", TokenKind::MATRIX},
    {"prism", TokenKind::PRISM},
    {"sphere", TokenKind::SPHERE},
    {"box", TokenKind::BOX},
    {"cylinder", TokenKind::CYLINDER},
    {"cone", TokenKind::CONE},
    {"plane", TokenKind::PLANE},
    {"torus", TokenKind::TORUS},
    {"difference", TokenKind::DIFFERENCE},
    {"union", TokenKind::UNION},
    {"merge", TokenKind::MERGE},
    {"intersection", TokenKind::INTERSECTION},
    {"texture", TokenKind::TEXTURE},
    {"finish", TokenKind::FINISH},
    {"pigment", TokenKind::PIGMENT},
    {"ambient", TokenKind::AMBIENT},
    {"diffuse", TokenKind::DIFFUSE},
    {"phong", TokenKind::PHONG},
    {"phong_size", TokenKind::PHONG_SIZE},
    {"specular", TokenKind::SPECULAR},
    {"color", TokenKind::COLOR},
    {"rgb", TokenKind::RGB},
    {"object", TokenKind::OBJECT},
    {"linear_sweep", TokenKind::LINEAR_SWEEP},
    {"conic_sweep", TokenKind::CONIC_SWEEP},
    {"sqrt", TokenKind::SQRT},
    {"cos", TokenKind::COS},
    {"sin", TokenKind::SIN},
    {"tan", TokenKind::TAN},
    {"acos", TokenKind::ACOS},
    {"asin", TokenKind::ASIN},
    {"atan", TokenKind::ATAN},
    {"radians", TokenKind::RADIANS},
    {"degrees", TokenKind::DEGREES},
    {"camera", TokenKind::CAMERA},
    {"location", TokenKind::LOCATION},
    {"look_at", TokenKind::LOOK_AT},
    {"light_source", TokenKind::LIGHT_SOURCE},
}};

// Every keyword code from sqrt (17) to light_source (57) is used exactly once.
constexpr bool keywords_cover_their_codes() {
    for (int code = static_cast<int>(TokenKind::SQRT); code <= static_cast<int>(TokenKind::LIGHT_SOURCE); ++code) {
        int uses = 0;
        for (const Keyword& keyword : KEYWORDS) uses += static_cast<int>(keyword.kind) == code;
        if (uses != 1) return false;
    }
    return true;
}
static_assert(static_cast<int>(TokenKind::LIGHT_SOURCE) - static_cast<int>(TokenKind::SQRT) + 1 == KEYWORD_COUNT);
static_assert(keywords_cover_their_codes());

// A saved tokenizer keeps only the length of the symbol table: declarations are only ever
// appended, so cutting the table back restores it, without copying it at every push.
struct SavedState {
    Tokenizer tokenizer;
    size_t symbol_count = 0;
};
std::vector<SavedState> stateStack;
// Every file text opened since the last reset; a deque never moves them, so the tokenizer and
// its saved copies can point into them.
std::deque<std::string> fileTexts;
// Where each name first stands in tokenizer.symbols, for its first indexedCount entries:
// lookups stay constant-time however many names a file declares.
std::unordered_map<std::string, size_t> firstEntry;
size_t indexedCount = 0;
long tokensRead = 0;
long tokenBudget = MAX_TOKENS;
int declarationDepth = 0;

// Counts one level of declarations nested inside declarations.
struct DeclarationLevel {
    DeclarationLevel() {
        // A constructor that throws runs no destructor: the depth must be left as it was.
        if (declarationDepth + 1 > MAX_DECLARATION_NESTING)
            fatal_error(TOKENIZER_ERROR, MODULE, "Declarations nested too deeply in line %d", tokenizer.line);
        ++declarationDepth;
    }
    ~DeclarationLevel() { --declarationDepth; }
    DeclarationLevel(const DeclarationLevel&) = delete;
    DeclarationLevel& operator=(const DeclarationLevel&) = delete;
};

// Character classes of the "C" locale, written out so bytes above 127 are never letters.
bool is_letter(int c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool is_digit(int c) { return c >= '0' && c <= '9'; }
bool is_hex_digit(int c) { return is_digit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'); }
bool is_blank(int c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

int peek_char() {
    const std::string* text = tokenizer.text;
    return text && tokenizer.at < text->size() ? static_cast<unsigned char>((*text)[tokenizer.at]) : EOF;
}

int read_char() {
    const int c = peek_char();
    if (c != EOF) ++tokenizer.at;
    return c;
}

void push_back_char(int c) {
    if (c != EOF) --tokenizer.at;
}

// Skips to the end of the line; the newline itself is counted.
void skip_line_comment() {
    int c = read_char();
    while (c != '\n' && c != EOF) c = read_char();
    if (c == '\n') ++tokenizer.line;
}

// Skips up to the "*/" that closes the comment; a comment left open is fatal, reported at the
// line where it began.
void skip_block_comment() {
    const int32_t start_line = tokenizer.line;
    int c = read_char();
    for (;;) {
        if (c == EOF) {
            tokenizer.line = start_line;
            fatal_error(TOKENIZER_ERROR, MODULE, "Unterminated comment in line %d", start_line);
        }
        if (c == '*') {
            c = read_char();
            if (c == '/') return;
            continue;  // another "*" or the character after it, looked at afresh
        }
        if (c == '\n') ++tokenizer.line;
        c = read_char();
    }
}

// Bytes that could drive a terminal, and every byte above 127, are shown as \xNN.
std::string printable(const std::string& word) {
    std::string shown;
    for (const char c : word) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7f) {
            shown += c;
        } else {
            char escape[5];
            std::snprintf(escape, sizeof escape, "\\x%02x", byte);
            shown += escape;
        }
    }
    return shown;
}

// The word that starts with an unknown character, up to the next blank, shortened.
std::string offending_word(int first) {
    std::string word(1, static_cast<char>(first));
    for (int c = read_char(); c != EOF && !is_blank(c) && word.size() < MAX_ECHO; c = read_char())
        word += static_cast<char>(c);
    return printable(word);
}

// The first entry with the given name, or null.
const SymbolEntry* find_symbol(const std::string& name) {
    const SymbolTable& symbols = tokenizer.symbols;
    for (; indexedCount < symbols.size(); ++indexedCount) firstEntry.emplace(symbols[indexedCount].name, indexedCount);
    const auto found = firstEntry.find(name);
    return found == firstEntry.end() ? nullptr : &symbols[found->second];
}

// Cuts the symbol table back to count entries, and the index with it.
void cut_symbols(SymbolTable& symbols, size_t count) {
    for (size_t i = symbols.size(); i-- > count;) {
        if (i >= indexedCount) continue;
        const auto found = firstEntry.find(symbols[i].name);
        if (found != firstEntry.end() && found->second == i) firstEntry.erase(found);
    }
    indexedCount = std::min(indexedCount, count);
    symbols.resize(count);
}

// The first declaration of a name stands; a later one is most likely a mistake. A declared
// text read again (a declaration inside a declared object) declares nothing new.
void warn_if_declared_again(const std::string& name, int32_t position, int32_t line) {
    const SymbolEntry* entry = find_symbol(name);
    if (entry && entry->kind == TokenKind::IDENTIFIER && entry->position != position)
        warn(line, "'%s' is declared again; the first declaration (line %d) stands", name.c_str(),
             entry->declaration_line);
}

void look_up_name() {
    if (const SymbolEntry* entry = find_symbol(tokenizer.name)) {
        tokenizer.kind = entry->kind;
        tokenizer.position = entry->position;
        tokenizer.position_line = entry->line;
        return;
    }
    tokenizer.kind = TokenKind::NONE;
    tokenizer.position = 0;
    tokenizer.position_line = 0;
    fatal_error(TOKENIZER_ERROR, MODULE, "Unknown identifier '%s' in line %d", tokenizer.name.c_str(),
                tokenizer.line);
}

size_t skip_digits(const std::string& text, size_t at, bool hex) {
    while (at < text.size() && (hex ? is_hex_digit(text[at]) : is_digit(text[at]))) ++at;
    return at;
}

// End of the longest run of characters a "%le" conversion can take from at: digits, a point,
// digits, an exponent with its sign and digits, in decimal or in "0x" hexadecimal.
size_t number_run_end(const std::string& text, size_t at) {
    const bool hex = at + 1 < text.size() && text[at] == '0' && (text[at + 1] == 'x' || text[at + 1] == 'X');
    if (hex) at += 2;
    at = skip_digits(text, at, hex);
    if (at < text.size() && text[at] == '.') at = skip_digits(text, at + 1, hex);
    const char exponent = hex ? 'p' : 'e';
    if (at < text.size() && (text[at] | 0x20) == exponent) {
        ++at;
        if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
        at = skip_digits(text, at, false);
    }
    return at;
}

// The number is converted exactly as "%le" reads it from a file; only the run it can take is
// handed to the conversion, so reading stays linear in the file.
void read_number() {
    const std::string& text = *tokenizer.text;
    const std::string run = text.substr(tokenizer.at, number_run_end(text, tokenizer.at) - tokenizer.at);
    double value = 0;
    int used = 0;
    if (std::sscanf(run.c_str(), "%le%n", &value, &used) != 1)
        fatal_error(TOKENIZER_ERROR, MODULE, "Could not read a number in line %d", tokenizer.line);
    tokenizer.at += static_cast<size_t>(used);
    tokenizer.kind = TokenKind::NUMBER;
    tokenizer.number = value;
}

TokenKind punctuation_kind(int c) {
    switch (c) {
        case ',': return TokenKind::COMMA;
        case ';': return TokenKind::SEMICOLON;
        case '=': return TokenKind::EQUALS;
        case '<': return TokenKind::LESS;
        case '>': return TokenKind::GREATER;
        case '{': return TokenKind::LBRACE;
        case '}': return TokenKind::RBRACE;
        case '(': return TokenKind::LPAREN;
        case ')': return TokenKind::RPAREN;
        case '+': return TokenKind::PLUS;
        case '-': return TokenKind::MINUS;
        case '*': return TokenKind::TIMES;
        case '/': return TokenKind::DIVIDE;
        default: return TokenKind::NONE;
    }
}

// Consumes a brace-balanced block. Only declarations skip blocks, so running into the end
// of the file is reported as their fault, at the line where the declaration began.
void skip_block(int32_t declaration_line) {
    int depth = 0;
    do {
        next_token();
        if (tokenizer.kind == TokenKind::LBRACE) ++depth;
        else if (tokenizer.kind == TokenKind::RBRACE) --depth;
        else if (tokenizer.kind == TokenKind::END_OF_FILE) {
            tokenizer.line = declaration_line;
            fatal_error(TOKENIZER_ERROR, MODULE, "Unterminated declare statement in line %d", declaration_line);
        }
    } while (depth != 0);
}

std::string read_whole_file(FILE* file) {
    std::string text;
    char buffer[65536];
    for (size_t got; (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;) text.append(buffer, got);
    return text;
}

}  // namespace

SymbolTable keyword_table() {
    SymbolTable table;
    table.reserve(KEYWORDS.size());
    for (const Keyword& keyword : KEYWORDS) table.push_back({keyword.kind, keyword.name, 0});
    return table;
}

void open_scene_file(const char* file_name) {
    tokenizer.file_name = file_name;
    FILE* file = std::fopen(file_name, "rb");
    if (!file) fatal_error(TOKENIZER_ERROR, MODULE, "file not found: %s", file_name);
    const std::string& text = fileTexts.emplace_back(read_whole_file(file));
    std::fclose(file);
    tokenizer.text = &text;
    tokenizer.at = text.compare(0, 3, BYTE_ORDER_MARK) == 0 ? 3 : 0;
    tokenizer.token_start = tokenizer.scan_start = tokenizer.at;
    tokenizer.line = tokenizer.scan_line = 1;
    tokenBudget = std::max(MAX_TOKENS, TOKENS_PER_BYTE * static_cast<long>(text.size()));
    // A token pushed back at the end of the previous file must not leak into this one.
    tokenizer.unget_pending = false;
}

void close_scene_file() {
    tokenizer.text = nullptr;
    fileTexts.clear();
}

void unget_token() { tokenizer.unget_pending = true; }

void skip_blank() {
    for (;;) {
        const int c = read_char();
        if (c == '\n') {
            ++tokenizer.line;
        } else if (c == '/') {
            const int after = read_char();
            if (after == '/') {
                skip_line_comment();
            } else if (after == '*') {
                skip_block_comment();
            } else {
                // Not a comment: the slash is read again as a division.
                push_back_char(after);
                push_back_char(c);
                return;
            }
        } else if (!is_blank(c)) {
            push_back_char(c);
            return;
        }
    }
}

void read_name() {
    tokenizer.name.clear();
    for (;;) {
        const int c = read_char();
        if (c == EOF)
            fatal_error(TOKENIZER_ERROR, MODULE, "Could not read a name in line %d", tokenizer.line);
        if (!is_letter(c) && !is_digit(c) && c != '_') {
            push_back_char(c);
            return;
        }
        tokenizer.name += static_cast<char>(c);
    }
}

void next_token() {
    if (tokenizer.unget_pending) {
        tokenizer.unget_pending = false;
        return;
    }
    if (++tokensRead > tokenBudget)
        fatal_error(TOKENIZER_ERROR, MODULE, "Too many tokens, declared names used too often, in line %d",
                    tokenizer.line);
    // Declarations read tokens of their own; the place reading began is kept for this token.
    const size_t scan_start = tokenizer.at;
    const int32_t scan_line = tokenizer.line;
    // A declaration is a statement of its own: after it, the token that follows it is read.
    for (;;) {
        skip_blank();
        tokenizer.token_start = tokenizer.at;
        const int c = read_char();
        if (c == '#') {
            process_declaration();
            continue;
        }
        if (c == EOF) {
            tokenizer.kind = TokenKind::END_OF_FILE;
        } else if (is_letter(c)) {
            push_back_char(c);
            read_name();
            look_up_name();
        } else if (is_digit(c) || c == '.') {
            push_back_char(c);
            read_number();
        } else {
            tokenizer.kind = punctuation_kind(c);
            if (tokenizer.kind == TokenKind::NONE)
                fatal_error(TOKENIZER_ERROR, MODULE, "Unknown token in line %d : %s", tokenizer.line,
                            offending_word(c).c_str());
        }
        tokenizer.scan_start = scan_start;
        tokenizer.scan_line = scan_line;
        return;
    }
}

// declaration -> "#" "declare" name "=" text, where the text runs to the first ";" or
// through the block of the first "{". Only the name and the text's position are kept.
void process_declaration() {
    const DeclarationLevel level;
    const int32_t start_line = tokenizer.line;
    read_name();
    if (tokenizer.name != "declare")
        fatal_error(TOKENIZER_ERROR, MODULE, "Wrong declare statement in line %d", tokenizer.line);
    skip_blank();
    read_name();
    std::string declared = tokenizer.name;
    next_token();
    if (tokenizer.kind != TokenKind::EQUALS)
        fatal_error(TOKENIZER_ERROR, MODULE, "Missing '=' in declare statement in line %d", tokenizer.line);
    skip_blank();
    const auto position = static_cast<int32_t>(tokenizer.at);
    warn_if_declared_again(declared, position, start_line);
    tokenizer.symbols.push_back({TokenKind::IDENTIFIER, std::move(declared), position, tokenizer.line, start_line});
    // The text goes through the whole tokenizer, so its lexical errors surface here.
    do {
        next_token();
        if (tokenizer.kind == TokenKind::END_OF_FILE) {
            tokenizer.line = start_line;
            fatal_error(TOKENIZER_ERROR, MODULE, "Unterminated declare statement in line %d", start_line);
        }
    } while (tokenizer.kind != TokenKind::LBRACE && tokenizer.kind != TokenKind::SEMICOLON);
    if (tokenizer.kind == TokenKind::LBRACE) {
        unget_token();
        skip_block(start_line);
    }
}

void push_state() {
    SymbolTable symbols = std::move(tokenizer.symbols);
    stateStack.push_back({tokenizer, symbols.size()});
    tokenizer.symbols = std::move(symbols);
}

void pop_state() {
    SymbolTable symbols = std::move(tokenizer.symbols);
    cut_symbols(symbols, stateStack.back().symbol_count);
    tokenizer = std::move(stateStack.back().tokenizer);
    tokenizer.symbols = std::move(symbols);
    stateStack.pop_back();
}

int state_depth() { return static_cast<int>(stateStack.size()); }

void seek_forward(int32_t position) {
    while (tokenizer.at < static_cast<size_t>(position)) {
        const int c = read_char();
        if (c == EOF) return;
        if (c == '\n') ++tokenizer.line;
    }
}

void seek_to(int32_t position, int32_t line) {
    tokenizer.at = std::min(static_cast<size_t>(position), tokenizer.text ? tokenizer.text->size() : 0);
    tokenizer.line = line;
}

int32_t line_of_text_after_token() {
    const std::string* text = tokenizer.text;
    if (!text) return 0;
    size_t at = tokenizer.unget_pending ? tokenizer.scan_start : tokenizer.at;
    int32_t line = tokenizer.unget_pending ? tokenizer.scan_line : tokenizer.line;
    while (at < text->size()) {
        const char c = (*text)[at];
        const char after = at + 1 < text->size() ? (*text)[at + 1] : '\0';
        if (c == '/' && after == '/') {
            at = text->find('\n', at);
            if (at == std::string::npos) return 0;
        } else if (c == '/' && after == '*') {
            const size_t end = text->find("*/", at + 2);
            if (end == std::string::npos) return 0;  // an open comment is still a comment
            line += static_cast<int32_t>(std::count(text->begin() + at, text->begin() + end, '\n'));
            at = end + 2;
        } else if (is_blank(c)) {
            line += c == '\n';
            ++at;
        } else {
            return line;
        }
    }
    return 0;
}

bool locate_scene_error(ErrorLocation& where) {
    if (!tokenizer.text) return false;
    where.path = tokenizer.file_name.c_str();
    where.line = tokenizer.line;
    return true;
}

std::string token_text() {
    if (!tokenizer.text) return {};
    return tokenizer.text->substr(tokenizer.token_start, tokenizer.at - tokenizer.token_start);
}

void reset_tokenizer() {
    stateStack.clear();
    fileTexts.clear();
    declarationDepth = 0;
    tokensRead = 0;
    tokenBudget = MAX_TOKENS;
    firstEntry.clear();
    indexedCount = 0;
    tokenizer = Tokenizer{};
}
