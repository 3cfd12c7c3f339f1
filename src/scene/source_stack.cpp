// The stack of sources the scene is read from, the names known and the directives: what lies
// between the words of the tokenizer and the statements of the parser.
#include "scene/source_stack.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

#include "base/error.h"
#include "objects/scene_store.h"
#include "scene/parser.h"
#include "scene/warnings.h"

namespace {

inline constexpr int TOKENIZER_ERROR = 9001;
inline constexpr const char* MODULE = "tokenizer";
// Declarations may stand inside declarations; a deeper pile can only come from a broken file.
inline constexpr int MAX_DECLARATION_NESTING = 1000;
// Substitution re-reads declared texts, so names built from names can multiply the text
// read without bound. A file may read this many words, or more in proportion to its size:
// the work stays linear in what is read, while a blow-up is stopped early.
inline constexpr long MAX_TOKENS = 10000000;
inline constexpr long TOKENS_PER_BYTE = 4;
inline constexpr int MAX_INCLUDE_DEPTH = 32;
inline constexpr int MAX_MACRO_DEPTH = 64;
// The text read for good is given back in steps of this many bytes at least: a large file
// gives back most of itself while it is read, a small one keeps its few pages.
inline constexpr size_t RELEASE_STEP = 1 << 20;
// A loop stops at the last value not past its end, allowing this much of a step for rounding.
inline constexpr double LOOP_END_TOLERANCE = 1e-9;

enum class SourceKind { FILE, INCLUDE, DECLARED, LOOP, IF, MACRO };

// One entry of the source stack. An include and a loop know where reading goes on when they
// end; an IF only marks that a branch is being read.
struct Source {
    SourceKind kind = SourceKind::FILE;
    const SourceText* text = nullptr;  // FILE and INCLUDE: the file read
    // INCLUDE: where reading goes on after the included file.
    const SourceText* return_text = nullptr;
    size_t return_at = 0;
    int32_t return_line = 0;
    // LOOP: the body, the values and the name that stands for them.
    size_t body_at = 0;
    int32_t body_line = 0;
    double from = 0, to = 0, step = 1;
    long round = 0;
    size_t binding = 0;
    int32_t outer_link = -1;  // the origin link around the loop
    int32_t line = 0;  // of the directive
};

// A loop name or macro parameter and what it stands for.
struct Binding {
    std::string name;
    Value value;
};

struct Macro {
    std::string name;
    std::vector<std::string> parameters;
    const SourceText* text = nullptr;
    size_t body_at = 0;
    int32_t body_line = 0;
};

// Everything a substitution returns to. Declarations are only ever appended, so keeping the
// lengths of the tables restores them, without copying them at every push.
struct SavedState {
    Tokenizer tokenizer;
    size_t symbol_count = 0;
    size_t source_count = 0;
    size_t binding_count = 0;
    int32_t origin_link = -1;
};

std::vector<SavedState> stateStack;
std::vector<Source> sources;
std::vector<Binding> bindings;
std::vector<Macro> macros;
std::vector<uint64_t> streams;
std::vector<std::string> includedFiles;
int32_t originLink = -1;
int bodyDepth = 0;  // loops and macros on the source stack
long tokensRead = 0;
long tokenBudget = MAX_TOKENS;
long bodyWordsRead = 0;
long loopRounds = 0;
long bytesRead = 0;
int declarationDepth = 0;
// The least offset in the scene file's text where a name was declared: a declared text or a
// macro body is read again where it is used, so the text from there on is kept.
size_t firstDeclarationAt = std::string::npos;
// The scene file's text before this offset has been given back.
size_t releasedBefore = 0;
// Set while a declared text is passed over: loops, conditions and macros in it are read only
// where the text is used.
bool skippingBodies = false;

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

[[noreturn]] void error_at(int32_t line, const char* message) {
    tokenizer.line = line;
    fatal_error(TOKENIZER_ERROR, MODULE, "%s in line %d", message, line);
}

[[noreturn]] void parser_expected(const char* what) {
    fatal_error(9000, "parser", "Expected %s in line %d", what, tokenizer.line);
}

bool is_body(SourceKind kind) { return kind == SourceKind::LOOP || kind == SourceKind::MACRO; }

void push_source(const Source& source) {
    sources.push_back(source);
    if (is_body(source.kind)) ++bodyDepth;
}

void pop_sources(size_t count) {
    while (sources.size() > count) {
        if (is_body(sources.back().kind)) --bodyDepth;
        sources.pop_back();
    }
}

void read_text(const SourceText* text, size_t at, int32_t line) {
    tokenizer.source = text;
    tokenizer.text = &text->text;
    tokenizer.file_name = text->path;
    tokenizer.unget_pending = false;
    seek_to(static_cast<int32_t>(at), line);
}

void note_text(const SourceText* text) {
    bytesRead += static_cast<long>(text->text.size());
    tokenBudget = std::max(MAX_TOKENS, TOKENS_PER_BYTE * bytesRead);
}

void link_origin(int32_t line) { originLink = recordLink(recordPath(tokenizer.file_name), line, originLink); }

// ---- Names ----

const Binding* find_binding(const std::string& name) {
    for (size_t i = bindings.size(); i-- > 0;)
        if (bindings[i].name == name) return &bindings[i];
    return nullptr;
}

void take_binding(const Binding& binding) {
    if (binding.value.is_vector) {
        tokenizer.kind = TokenKind::VECTOR;
        tokenizer.vector = binding.value.vector;
    } else {
        tokenizer.kind = TokenKind::NUMBER;
        tokenizer.number = binding.value.number;
    }
}

// Keywords first, then loop names and macro parameters, declared names and the words added
// later. A name that ran into the end of its text is read when it is a declared name; any
// other word there keeps the old message.
void look_up_name() {
    const std::string& name = tokenizer.name;
    tokenizer.position = 0;
    tokenizer.position_line = 0;
    tokenizer.index = -1;
    // Keywords stand first in every symbol table, so no declaration or binding hides one.
    if (const TokenKind keyword = keyword_kind(name); keyword != TokenKind::NONE) {
        if (tokenizer.name_at_end) name_at_end_error();
        tokenizer.kind = keyword;
        tokenizer.position_source = nullptr;
        return;
    }
    const SymbolEntry* entry = find_symbol(name);
    const Binding* binding = find_binding(name);
    if (binding) {
        if (tokenizer.name_at_end) name_at_end_error();
        take_binding(*binding);
        return;
    }
    if (entry) {
        if (tokenizer.name_at_end && entry->kind != TokenKind::IDENTIFIER) name_at_end_error();
        tokenizer.kind = entry->kind;
        tokenizer.position = entry->position;
        tokenizer.position_line = entry->line;
        tokenizer.position_source = entry->source;
        tokenizer.index = entry->index;
        return;
    }
    if (tokenizer.name_at_end) name_at_end_error();
    tokenizer.kind = builtin_word(name);
    if (tokenizer.kind != TokenKind::NONE) return;
    fatal_error(TOKENIZER_ERROR, MODULE, "Unknown identifier '%s' in line %d", name.c_str(), tokenizer.line);
}

// The entry already made for the declaration at this place (a loop body or an included file
// read again), or null.
const SymbolEntry* same_declaration(const std::string& name, int32_t position) {
    const SymbolEntry* entry = find_symbol(name);
    if (entry && entry->source == tokenizer.source && entry->position == position) return entry;
    return nullptr;
}

// The first declaration of a name stands; a later one is most likely a mistake. Keywords
// cannot be declared at all.
void warn_if_declared_again(const std::string& name, int32_t line) {
    const SymbolEntry* entry = find_symbol(name);
    if (!entry) return;
    if (entry->kind == TokenKind::IDENTIFIER || entry->kind == TokenKind::MACRO || entry->kind == TokenKind::STREAM)
        warn(line, "'%s' is declared again; the first declaration (line %d) stands", name.c_str(),
             entry->declaration_line);
    else
        warn(line, "'%s' is a keyword and cannot be declared", name.c_str());
}

void add_symbol(TokenKind kind, std::string name, int32_t position, int32_t position_line, int32_t line,
                int32_t index) {
    if (!sources.empty() && tokenizer.source == sources.front().text)
        firstDeclarationAt = std::min(firstDeclarationAt, static_cast<size_t>(position));
    tokenizer.symbols.push_back({kind, std::move(name), position, position_line, line, tokenizer.source, index});
}

// ---- Directives ----

int peek_char() {
    const std::string_view text = *tokenizer.text;
    return tokenizer.at < text.size() ? static_cast<unsigned char>(text[tokenizer.at]) : -1;
}

bool is_name_start(int c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// A name written right after a directive word, read as it stands (it is not looked up).
std::string read_directive_name(const char* what) {
    skip_blank();
    if (!is_name_start(peek_char())) parser_expected(what);
    read_name();
    if (tokenizer.name_at_end) name_at_end_error();
    return tokenizer.name;
}

void expect_kind(TokenKind kind, const char* text) {
    next_token();
    if (tokenizer.kind != kind) parser_expected(text);
}

// Where a directive body ends: the "#end" (or, for an #if, an "#else") that matches at the
// same depth, skipping comments and quoted names. at and line are left just after it.
struct BodyEnd {
    bool is_else = false;
    size_t at = 0;
    int32_t line = 0;
};

bool find_body_end(size_t at, int32_t line, bool stop_at_else, BodyEnd& end) {
    const std::string_view text = *tokenizer.text;
    int depth = 0;
    while (at < text.size()) {
        const char c = text[at];
        const char after = at + 1 < text.size() ? text[at + 1] : '\0';
        if (c == '/' && after == '/') {
            at = text.find('\n', at);
            if (at == std::string::npos) return false;
        } else if (c == '/' && after == '*') {
            const size_t close = text.find("*/", at + 2);
            if (close == std::string::npos) return false;
            line += static_cast<int32_t>(std::count(text.begin() + at, text.begin() + close, '\n'));
            at = close + 2;
        } else if (c == '"') {
            const size_t close = text.find_first_of("\"\n", at + 1);
            if (close == std::string::npos) return false;
            at = text[close] == '"' ? close + 1 : close;
        } else if (c == '#') {
            size_t word_end = at + 1;
            while (word_end < text.size() && (std::isalnum(static_cast<unsigned char>(text[word_end])) ||
                                              text[word_end] == '_'))
                ++word_end;
            const std::string_view word = text.substr(at + 1, word_end - at - 1);
            at = word_end;
            if (word == "for" || word == "if" || word == "macro") {
                ++depth;
            } else if (word == "end" || (word == "else" && stop_at_else)) {
                if (depth == 0) {
                    end = {word == "else", at, line};
                    return true;
                }
                if (word == "end") --depth;
            }
        } else {
            line += c == '\n';
            ++at;
        }
    }
    return false;
}

BodyEnd body_end(const char* directive, int32_t directive_line, bool stop_at_else) {
    BodyEnd end;
    if (!find_body_end(tokenizer.at, tokenizer.line, stop_at_else, end)) {
        const std::string message = std::string("#") + directive + " without #end";
        error_at(directive_line, message.c_str());
    }
    return end;
}

void jump_past(const BodyEnd& end) { seek_to(static_cast<int32_t>(end.at), end.line); }

// include -> "#include" '"' path '"'; the path is taken from the folder of the including file.
void run_include(int32_t line) {
    skip_blank();
    const std::string_view text = *tokenizer.text;
    const size_t open_quote = tokenizer.at;
    const size_t close_quote = open_quote < text.size() && text[open_quote] == '"'
                                   ? text.find_first_of("\"\n", open_quote + 1)
                                   : std::string::npos;
    if (close_quote == std::string::npos || text[close_quote] != '"')
        error_at(line, "Expected a file name in quotes after #include");
    std::string path(text.substr(open_quote + 1, close_quote - open_quote - 1));
    tokenizer.at = close_quote + 1;
    const size_t slash = tokenizer.file_name.rfind('/');
    if (!path.empty() && path[0] != '/' && slash != std::string::npos)
        path = tokenizer.file_name.substr(0, slash + 1) + path;
    int depth = 0;
    for (const Source& source : sources) depth += source.kind == SourceKind::INCLUDE;
    if (depth >= MAX_INCLUDE_DEPTH) error_at(line, "Includes nested deeper than 32");
    // Noted before it is read, so that a file that cannot be read yet is watched as well.
    if (std::find(includedFiles.begin(), includedFiles.end(), path) == includedFiles.end())
        includedFiles.push_back(path);
    const SourceText* included = load_source_text(path, line);
    bool includes_itself = included == tokenizer.source;
    for (const Source& source : sources) includes_itself = includes_itself || source.text == included;
    if (includes_itself) {
        const std::string message = "'" + path + "' includes itself";
        error_at(line, message.c_str());
    }
    Source source;
    source.kind = SourceKind::INCLUDE;
    source.text = included;
    source.return_text = tokenizer.source;
    source.return_at = tokenizer.at;
    source.return_line = tokenizer.line;
    push_source(source);
    note_text(included);
    read_text(included, included->start, 1);
}

// At the end of an included file, reading goes on after its #include.
bool end_include() {
    if (sources.empty() || sources.back().kind != SourceKind::INCLUDE) return false;
    const Source source = sources.back();
    pop_sources(sources.size() - 1);
    read_text(source.return_text, source.return_at, source.return_line);
    return true;
}

bool within_loop(const Source& loop, double value) {
    const double slack = LOOP_END_TOLERANCE * std::fabs(loop.step);
    return loop.step > 0 ? value <= loop.to + slack : value >= loop.to - slack;
}

double loop_value(const Source& loop) { return loop.from + static_cast<double>(loop.round) * loop.step; }

void count_round(int32_t line) {
    if (++loopRounds > loadLimits.loopRounds) {
        const std::string message = "More than " + std::to_string(loadLimits.loopRounds) + " loop rounds";
        error_at(line, message.c_str());
    }
}

// for -> "#for" "(" name "," expression "," expression [ "," expression ] ")" body "#end"
void run_for(int32_t line) {
    expect_kind(TokenKind::LPAREN, "(");
    std::string name = read_directive_name("a loop name");
    expect_kind(TokenKind::COMMA, ",");
    Source loop;
    loop.kind = SourceKind::LOOP;
    loop.line = line;
    loop.from = parse_expression();
    expect_kind(TokenKind::COMMA, ",");
    loop.to = parse_expression();
    next_token();
    if (tokenizer.kind == TokenKind::COMMA) {
        loop.step = parse_expression();
        next_token();
    }
    if (tokenizer.kind != TokenKind::RPAREN) parser_expected(")");
    if (loop.step == 0) error_at(line, "The step of #for is zero");
    const BodyEnd end = body_end("for", line, false);
    if (!within_loop(loop, loop.from)) {
        jump_past(end);
        return;
    }
    count_round(line);
    loop.body_at = tokenizer.at;
    loop.body_line = tokenizer.line;
    loop.binding = bindings.size();
    bindings.push_back({std::move(name), {false, loop.from, {}}});
    loop.outer_link = originLink;
    link_origin(line);
    push_source(loop);
}

// At a loop's #end: the next round, or on after the #end.
void next_round() {
    Source& loop = sources.back();
    ++loop.round;
    const double value = loop_value(loop);
    if (within_loop(loop, value)) {
        count_round(loop.line);
        bindings[loop.binding].value.number = value;
        seek_to(static_cast<int32_t>(loop.body_at), loop.body_line);
        return;
    }
    bindings.resize(loop.binding);
    originLink = loop.outer_link;
    pop_sources(sources.size() - 1);
}

// if -> "#if" "(" condition ")" body [ "#else" body ] "#end"
void run_if(int32_t line) {
    expect_kind(TokenKind::LPAREN, "(");
    readingCondition = true;
    const bool holds = parse_condition();
    readingCondition = false;
    expect_kind(TokenKind::RPAREN, ")");
    Source branch;
    branch.kind = SourceKind::IF;
    branch.line = line;
    const BodyEnd end = body_end("if", line, true);
    if (end.is_else) {
        // The branch read must end in this text too, or its end would never be met.
        BodyEnd last;
        if (!find_body_end(end.at, end.line, false, last)) error_at(line, "#if without #end");
    }
    if (holds) {
        push_source(branch);
        return;
    }
    jump_past(end);
    if (end.is_else) push_source(branch);
}

// macro -> "#macro" name "(" [ name { "," name } ] ")" body "#end"
void run_macro(int32_t line) {
    Macro macro;
    macro.name = read_directive_name("a macro name");
    expect_kind(TokenKind::LPAREN, "(");
    skip_blank();
    if (peek_char() == ')') {
        next_token();
    } else {
        do {
            macro.parameters.push_back(read_directive_name("a parameter name"));
            next_token();
        } while (tokenizer.kind == TokenKind::COMMA);
        if (tokenizer.kind != TokenKind::RPAREN) parser_expected(")");
    }
    const BodyEnd end = body_end("macro", line, false);
    macro.text = tokenizer.source;
    macro.body_at = tokenizer.at;
    macro.body_line = tokenizer.line;
    const auto position = static_cast<int32_t>(macro.body_at);
    if (!same_declaration(macro.name, position)) {
        warn_if_declared_again(macro.name, line);
        add_symbol(TokenKind::MACRO, macro.name, position, macro.body_line, line, static_cast<int32_t>(macros.size()));
        macros.push_back(std::move(macro));
    }
    jump_past(end);
}

// #else ends the branch being read: the rest up to #end is passed over.
void run_else(int32_t line) {
    if (sources.empty() || sources.back().kind != SourceKind::IF) error_at(line, "#else without #if");
    const BodyEnd end = body_end("if", line, false);
    jump_past(end);
    pop_sources(sources.size() - 1);
}

// #end closes the innermost loop, branch or macro body. A macro body ends as a text does:
// every later word is its end, until the parser leaves it.
bool run_end(int32_t line) {
    const SourceKind kind = sources.empty() ? SourceKind::FILE : sources.back().kind;
    if (kind == SourceKind::LOOP) {
        next_round();
    } else if (kind == SourceKind::IF) {
        pop_sources(sources.size() - 1);
    } else if (kind == SourceKind::MACRO) {
        tokenizer.at = tokenizer.token_start;
        tokenizer.kind = TokenKind::END_OF_FILE;
        return true;
    } else {
        error_at(line, "#end without #for, #if or #macro");
    }
    return false;
}

bool starts_word(std::string_view text, size_t at, const char* word) {
    const size_t length = std::strlen(word);
    if (text.compare(at, length, word) != 0) return false;
    const size_t after = at + length;
    return after >= text.size() || !(std::isalnum(static_cast<unsigned char>(text[after])) || text[after] == '_');
}

// splitmix64: the same numbers on every machine.
uint64_t next_random(uint64_t& state) {
    uint64_t z = (state += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

// declare-seed -> name "=" "seed" "(" expression ")" ";": the stream is made here, once.
void declare_stream(std::string name, int32_t position, int32_t position_line, int32_t line) {
    next_token();  // seed
    expect_kind(TokenKind::LPAREN, "(");
    const double seed = parse_expression();
    expect_kind(TokenKind::RPAREN, ")");
    expect_kind(TokenKind::SEMICOLON, ";");
    uint64_t state = 0;
    std::memcpy(&state, &seed, sizeof state);
    next_random(state);
    add_symbol(TokenKind::STREAM, std::move(name), position, position_line, line, static_cast<int32_t>(streams.size()));
    streams.push_back(state);
}

bool is_object_keyword(TokenKind kind) { return kind >= TokenKind::PLANE && kind <= TokenKind::INTERSECTION; }

// Reads the declared text to its end: the first ";" after the "=", or the block of the first
// "{". A number whose ";" is missing runs on into the statement after it; that is told.
void skip_declared_text(const std::string& name, int32_t start_line) {
    // An object or texture text is ended by its "{"; only a number can take in a statement.
    bool may_take_in = true;
    for (bool first = true;; first = false) {
        next_token();
        const TokenKind kind = tokenizer.kind;
        if (kind == TokenKind::END_OF_FILE) error_at(start_line, "Unterminated declare statement");
        if (kind == TokenKind::LBRACE || kind == TokenKind::SEMICOLON) break;
        const bool statement = is_object_keyword(kind) || (kind >= TokenKind::TEXTURE && kind <= TokenKind::PIGMENT);
        if (may_take_in && !first && is_object_keyword(kind))
            warn(start_line, "the declaration of '%s' has no ';' and takes in the %s statement in line %d",
                 name.c_str(), word_of(kind), tokenizer.line);
        if (statement) may_take_in = false;
    }
    if (tokenizer.kind == TokenKind::LBRACE) {
        unget_token();
        int depth = 0;
        do {
            next_token();
            if (tokenizer.kind == TokenKind::LBRACE) ++depth;
            else if (tokenizer.kind == TokenKind::RBRACE) --depth;
            else if (tokenizer.kind == TokenKind::END_OF_FILE) error_at(start_line, "Unterminated declare statement");
        } while (depth != 0);
    }
}

// declaration -> "#declare" name "=" text. Only the name and the text's position are kept;
// bodies of loops, conditions and macros inside the text are read only where it is used.
void run_declare(int32_t start_line) {
    const DeclarationLevel level;
    skip_blank();
    read_name();
    if (tokenizer.name_at_end) name_at_end_error();
    std::string declared = tokenizer.name;
    next_token();
    if (tokenizer.kind != TokenKind::EQUALS)
        fatal_error(TOKENIZER_ERROR, MODULE, "Missing '=' in declare statement in line %d", tokenizer.line);
    skip_blank();
    const auto position = static_cast<int32_t>(tokenizer.at);
    const int32_t position_line = tokenizer.line;
    const bool known = same_declaration(declared, position) != nullptr;
    if (!known) warn_if_declared_again(declared, start_line);
    if (!known && starts_word(*tokenizer.text, tokenizer.at, "seed") && !find_symbol("seed")) {
        declare_stream(std::move(declared), position, position_line, start_line);
        return;
    }
    if (!known) add_symbol(TokenKind::IDENTIFIER, declared, position, position_line, start_line, -1);
    const bool was_skipping = skippingBodies;
    skippingBodies = true;
    skip_declared_text(declared, start_line);
    skippingBodies = was_skipping;
}

// Runs the directive whose "#" was just read. True when it leaves a word to return (the end
// of a macro body).
bool run_directive() {
    const int32_t line = tokenizer.line;
    const size_t hash_at = tokenizer.token_start;
    read_name();
    if (tokenizer.name_at_end) name_at_end_error();
    const std::string word = tokenizer.name;
    if (word == "declare") {
        run_declare(line);
    } else if (word == "include") {
        run_include(line);
    } else if (word == "for") {
        if (skippingBodies) jump_past(body_end("for", line, false));
        else run_for(line);
    } else if (word == "if") {
        if (skippingBodies) jump_past(body_end("if", line, false));
        else run_if(line);
    } else if (word == "macro") {
        if (skippingBodies) jump_past(body_end("macro", line, false));
        else run_macro(line);
    } else if (word == "else") {
        run_else(line);
    } else if (word == "end") {
        return run_end(line);
    } else if (word == "usual_arithmetic") {
        if (!tokenizer.source->usual_arithmetic || hash_at != tokenizer.source->first_word)
            error_at(line, "#usual_arithmetic must be the first word of a file");
    } else {
        fatal_error(TOKENIZER_ERROR, MODULE, "Wrong declare statement in line %d", tokenizer.line);
    }
    return false;
}

void count_word() {
    if (bodyDepth > 0) {
        if (++bodyWordsRead > loadLimits.bodyWords)
            fatal_error(TOKENIZER_ERROR, MODULE, "More than %ld words read through loops and macros in line %d",
                        loadLimits.bodyWords, tokenizer.line);
    } else if (++tokensRead > tokenBudget) {
        fatal_error(TOKENIZER_ERROR, MODULE, "Too many tokens, declared names used too often, in line %d",
                    tokenizer.line);
    }
}

}  // namespace

LoadLimits loadLimits;

void open_scene_file(const char* file_name) {
    // Until it is read, an error is about the file as a whole.
    tokenizer.source = nullptr;
    tokenizer.text = nullptr;
    tokenizer.file_name = file_name;
    const SourceText* text = load_source_text(file_name, 0);
    note_text(text);
    start_reading(text);
    Source file;
    file.text = text;
    push_source(file);
    // A token pushed back at the end of the previous file must not leak into this one.
    tokenizer.unget_pending = false;
}

void close_scene_file() {
    forget_source_texts();
    tokenizer.file_name.clear();
}

void unget_token() { tokenizer.unget_pending = true; }

void next_token() {
    if (tokenizer.unget_pending) {
        tokenizer.unget_pending = false;
        return;
    }
    count_word();
    // Directives read words of their own; the place reading began is kept for this word.
    const size_t scan_start = tokenizer.at;
    const int32_t scan_line = tokenizer.line;
    for (;;) {
        scan_token();
        if (tokenizer.kind == TokenKind::HASH) {
            if (run_directive()) break;
            continue;
        }
        if (tokenizer.kind == TokenKind::END_OF_FILE && end_include()) continue;
        if (tokenizer.kind == TokenKind::NONE) look_up_name();
        break;
    }
    tokenizer.scan_start = scan_start;
    tokenizer.scan_line = scan_line;
}

void push_state() {
    SymbolTable symbols = std::move(tokenizer.symbols);
    stateStack.push_back({tokenizer, symbols.size(), sources.size(), bindings.size(), originLink});
    tokenizer.symbols = std::move(symbols);
}

void pop_state() {
    SavedState& saved = stateStack.back();
    SymbolTable symbols = std::move(tokenizer.symbols);
    const size_t count = saved.symbol_count;
    tokenizer.symbols = std::move(symbols);
    cut_symbols(count);
    symbols = std::move(tokenizer.symbols);
    tokenizer = std::move(saved.tokenizer);
    tokenizer.symbols = std::move(symbols);
    pop_sources(saved.source_count);
    bindings.resize(saved.binding_count);
    originLink = saved.origin_link;
    stateStack.pop_back();
}

int state_depth() { return static_cast<int>(stateStack.size()); }

void release_text_read() {
    if (sources.empty() || sources.front().kind != SourceKind::FILE) return;
    const SourceText* file = sources.front().text;
    if (tokenizer.source != file) return;
    // Loops, macros, declared texts and included files all come back to places of their own.
    for (const Source& source : sources)
        if (source.kind != SourceKind::FILE && source.kind != SourceKind::IF) return;
    size_t kept = firstDeclarationAt;
    const auto keep_places_of = [&kept, file](const Tokenizer& t) {
        if (t.source == file) kept = std::min({kept, t.at, t.token_start, t.scan_start});
        if (t.position_source == file) kept = std::min(kept, static_cast<size_t>(t.position));
    };
    keep_places_of(tokenizer);
    for (const SavedState& saved : stateStack) keep_places_of(saved.tokenizer);
    if (kept < releasedBefore + RELEASE_STEP) return;
    release_text_before(file, kept);
    releasedBefore = kept;
}

void enter_declared_text() {
    const int32_t use_line = tokenizer.line;
    const SourceText* text = tokenizer.position_source;
    const int32_t position = tokenizer.position;
    const int32_t position_line = tokenizer.position_line;
    push_state();
    link_origin(use_line);
    Source declared;
    declared.kind = SourceKind::DECLARED;
    push_source(declared);
    read_text(text, static_cast<size_t>(position), position_line);
}

void enter_macro(int32_t index, const std::vector<Value>& arguments, int32_t call_line) {
    const Macro& macro = macros[static_cast<size_t>(index)];
    int depth = 0;
    for (const Source& source : sources) depth += source.kind == SourceKind::MACRO;
    if (depth >= MAX_MACRO_DEPTH) error_at(call_line, "Macro calls nested deeper than 64");
    if (arguments.size() != macro.parameters.size()) {
        const std::string message = "Macro '" + macro.name + "' takes " + std::to_string(macro.parameters.size()) +
                                    " arguments, not " + std::to_string(arguments.size()) + ",";
        error_at(call_line, message.c_str());
    }
    push_state();
    link_origin(call_line);
    Source body;
    body.kind = SourceKind::MACRO;
    push_source(body);
    for (size_t i = 0; i < arguments.size(); ++i) bindings.push_back({macro.parameters[i], arguments[i]});
    read_text(macro.text, macro.body_at, macro.body_line);
}

void leave_source() { pop_state(); }

bool macro_gives_texture(int32_t index) {
    const Macro& macro = macros[static_cast<size_t>(index)];
    const std::string_view text = macro.text->text;
    size_t at = macro.body_at;
    while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at]))) ++at;
    return starts_word(text, at, "texture") || starts_word(text, at, "pigment") || starts_word(text, at, "finish");
}

double draw_random(int32_t stream) {
    return static_cast<double>(next_random(streams[static_cast<size_t>(stream)]) >> 11) * 0x1.0p-53;
}

bool usual_arithmetic() { return tokenizer.source && tokenizer.source->usual_arithmetic; }

bool reading_loop_or_macro() { return bodyDepth > 0; }

long bytes_read() { return bytesRead; }

const std::vector<std::string>& included_files() { return includedFiles; }

int32_t current_origin_link() { return originLink; }

void reset_tokenizer() {
    stateStack.clear();
    sources.clear();
    bindings.clear();
    macros.clear();
    streams.clear();
    includedFiles.clear();
    originLink = -1;
    bodyDepth = 0;
    declarationDepth = 0;
    tokensRead = 0;
    tokenBudget = MAX_TOKENS;
    bodyWordsRead = 0;
    loopRounds = 0;
    bytesRead = 0;
    firstDeclarationAt = std::string::npos;
    releasedBefore = 0;
    skippingBodies = false;
    readingCondition = false;
    forget_source_texts();
    forget_symbol_index();
    tokenizer = Tokenizer{};
}
