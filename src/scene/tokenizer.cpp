// Characters into words: reads scene texts held in memory, skips blanks and comments while
// counting lines, and recognises numbers, punctuation and names.
#include "scene/tokenizer.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <new>
#include <unordered_map>
#include <utility>

#include "base/error.h"

Tokenizer tokenizer;
bool readingCondition = false;

namespace {

inline constexpr int TOKENIZER_ERROR = 9001;
inline constexpr const char* MODULE = "tokenizer";
// Longest word echoed after an unknown character: enough to recognise it, never a flood.
inline constexpr size_t MAX_ECHO = 40;
// A scene file is text written by hand or by a script; anything larger is a mistake, and
// reading it would only fill the memory.
inline constexpr off_t MAX_FILE_SIZE = 256L * 1024 * 1024;
// The byte-order mark some editors write at the start of a UTF-8 file.
inline constexpr char BYTE_ORDER_MARK[] = "\xEF\xBB\xBF";
// More room for a file that grows while it is read.
inline constexpr size_t GROWTH_ROOM = 1 << 20;

// ORDER MATTERS: scene files have always been read against this order, and the first entry
// with a name wins.
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

// Words added to the language later. They are looked up after the declared names, so a file
// that declares one of these names keeps its meaning. Adding a word is one line here (and
// its kind).
constexpr Keyword BUILTIN_WORDS[] = {
    {"pi", TokenKind::PI},
    {"abs", TokenKind::ABS},
    {"min", TokenKind::MIN},
    {"max", TokenKind::MAX},
    {"pow", TokenKind::POW},
    {"floor", TokenKind::FLOOR},
    {"ceil", TokenKind::CEIL},
    {"mod", TokenKind::MOD},
    {"exp", TokenKind::EXP},
    {"log", TokenKind::LOG},
    {"atan2", TokenKind::ATAN2},
    {"seed", TokenKind::SEED},
    {"rand", TokenKind::RAND},
    {"vlength", TokenKind::VLENGTH},
    {"vnormalize", TokenKind::VNORMALIZE},
    {"vdot", TokenKind::VDOT},
    {"vcross", TokenKind::VCROSS},
    {"clock", TokenKind::CLOCK},
    {"background", TokenKind::BACKGROUND},
    {"checker", TokenKind::CHECKER},
    {"reflection", TokenKind::REFLECTION},
    {"transmit", TokenKind::TRANSMIT},
    {"ior", TokenKind::IOR},
};

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

// The keywords by a hash of their spelling, for the lookup of every word read: slots hold
// indexes into KEYWORDS, -1 where none is; a collision takes the next free slot.
inline constexpr size_t KEYWORD_SLOTS = 128;  // a power of two, three times KEYWORD_COUNT

// The length and the first and last letters: these tell all keywords but two apart.
constexpr size_t word_hash(const char* word, size_t length) {
    if (length == 0) return 0;
    return length + 3 * static_cast<unsigned char>(word[0]) + 35 * static_cast<unsigned char>(word[length - 1]);
}

constexpr size_t length_of(const char* word) {
    size_t length = 0;
    while (word[length]) ++length;
    return length;
}

constexpr std::array<int8_t, KEYWORD_SLOTS> keyword_slots() {
    std::array<int8_t, KEYWORD_SLOTS> slots{};
    for (int8_t& slot : slots) slot = -1;
    for (size_t i = 0; i < KEYWORDS.size(); ++i) {
        size_t at = word_hash(KEYWORDS[i].name, length_of(KEYWORDS[i].name)) & (KEYWORD_SLOTS - 1);
        while (slots[at] >= 0) at = (at + 1) & (KEYWORD_SLOTS - 1);
        slots[at] = static_cast<int8_t>(i);
    }
    return slots;
}

constexpr std::array<int8_t, KEYWORD_SLOTS> KEYWORD_SLOT_TABLE = keyword_slots();
// The keywords' spellings with their lengths, compared at once.
constexpr std::array<std::string_view, KEYWORD_COUNT> keyword_spellings() {
    std::array<std::string_view, KEYWORD_COUNT> spellings{};
    for (size_t i = 0; i < KEYWORDS.size(); ++i) spellings[i] = KEYWORDS[i].name;
    return spellings;
}

constexpr std::array<std::string_view, KEYWORD_COUNT> KEYWORD_SPELLINGS = keyword_spellings();

size_t page_size() {
    static const auto size = static_cast<size_t>(sysconf(_SC_PAGESIZE));
    return size;
}

size_t whole_pages(size_t bytes) { return (bytes + page_size() - 1) / page_size() * page_size(); }

// Every file text read since the last reset; a deque never moves them, so the tokenizer,
// its saved copies and the symbol table can point into them. Indexed by the path as opened.
std::deque<SourceText> sourceTexts;
std::unordered_map<std::string, const SourceText*> textsByPath;
// Where each name first stands in tokenizer.symbols, for its first indexedCount entries:
// lookups stay constant-time however many names a file declares.
std::unordered_map<std::string, size_t> firstEntry;
size_t indexedCount = 0;

// Character classes of the "C" locale, written out so bytes above 127 are never letters.
constexpr bool is_letter(int c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
constexpr bool is_digit(int c) { return c >= '0' && c <= '9'; }
bool is_hex_digit(int c) { return is_digit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'); }
bool is_blank(int c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

// Letters, digits and the underscore, by byte: read_name looks every byte of a name up here.
constexpr std::array<bool, 256> name_characters() {
    std::array<bool, 256> table{};
    for (int c = 0; c < 256; ++c) table[static_cast<size_t>(c)] = is_letter(c) || is_digit(c) || c == '_';
    return table;
}

constexpr std::array<bool, 256> NAME_CHARACTERS = name_characters();

int peek_char() {
    const std::string_view* text = tokenizer.text;
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

size_t skip_digits(std::string_view text, size_t at, bool hex) {
    while (at < text.size() && (hex ? is_hex_digit(text[at]) : is_digit(text[at]))) ++at;
    return at;
}

// End of the longest run of characters a "%le" conversion can take from at: digits, a point,
// digits, an exponent with its sign and digits, in decimal or in "0x" hexadecimal. plain tells
// whether the run is a plain decimal: at least one digit before an exponent mark, and digits
// after one; "%le" takes such a run whole.
size_t number_run_end(std::string_view text, size_t at, bool& plain) {
    const bool hex = at + 1 < text.size() && text[at] == '0' && (text[at + 1] == 'x' || text[at + 1] == 'X');
    if (hex) at += 2;
    const size_t mantissa = at;
    at = skip_digits(text, at, hex);
    size_t digits = at - mantissa;
    if (at < text.size() && text[at] == '.') {
        const size_t fraction = at + 1;
        at = skip_digits(text, fraction, hex);
        digits += at - fraction;
    }
    plain = !hex && digits > 0;
    const char exponent = hex ? 'p' : 'e';
    if (at < text.size() && (text[at] | 0x20) == exponent) {
        ++at;
        if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
        const size_t exponent_digits = at;
        at = skip_digits(text, at, false);
        plain = plain && at > exponent_digits;
    }
    return at;
}

// Powers of ten a double holds exactly.
constexpr double EXACT_POWERS_OF_TEN[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                          1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
inline constexpr int MAX_EXACT_POWER = 22;
inline constexpr uint64_t EXACT_WHOLE_LIMIT = uint64_t{1} << 53;
// Nineteen decimal digits always fit in 64 bits.
inline constexpr int MAX_WHOLE_DIGITS = 19;

// A plain decimal run whose digits make a whole number of at most 2^53 and whose power of ten
// lies within 22 either way: both are exact doubles, and the one product or quotient of two
// exact doubles is rounded correctly, as strtod rounds (Clinger's fast path). False for any
// other decimal.
bool read_short_decimal(const char* run, size_t length, double& value) {
    uint64_t whole = 0;
    int digits = 0, power = 0;
    size_t at = 0;
    for (; at < length && is_digit(run[at]); ++at, ++digits) whole = whole * 10 + static_cast<uint64_t>(run[at] - '0');
    if (at < length && run[at] == '.')
        for (++at; at < length && is_digit(run[at]); ++at, ++digits, --power)
            whole = whole * 10 + static_cast<uint64_t>(run[at] - '0');
    if (digits > MAX_WHOLE_DIGITS || whole > EXACT_WHOLE_LIMIT) return false;
    if (at < length) {
        ++at;  // the exponent mark, followed by digits in a plain decimal
        const bool negative = run[at] == '-';
        if (run[at] == '+' || run[at] == '-') ++at;
        if (length - at > 3) return false;
        int exponent = 0;
        for (; at < length; ++at) exponent = exponent * 10 + (run[at] - '0');
        power += negative ? -exponent : exponent;
    }
    if (power < -MAX_EXACT_POWER || power > MAX_EXACT_POWER) return false;
    const auto exact_whole = static_cast<double>(whole);
    value = power < 0 ? exact_whole / EXACT_POWERS_OF_TEN[-power] : exact_whole * EXACT_POWERS_OF_TEN[power];
    return true;
}

// Any other plain decimal run, through from_chars; false when the value is out of range.
bool read_long_decimal(const char* run, size_t length, double& value) {
    const auto [end, failure] = std::from_chars(run, run + length, value);
    return failure == std::errc() && end == run + length;
}

// The number is converted exactly as "%le" reads it from a file; only the run it can take is
// handed to the conversion, so reading stays linear in the file. A plain decimal is converted
// on the short path or by from_chars, both correctly rounded like the strtod behind "%le".
void read_number() {
    const std::string_view text = *tokenizer.text;
    bool plain = false;
    const size_t length = number_run_end(text, tokenizer.at, plain) - tokenizer.at;
    const char* run = text.data() + tokenizer.at;
    double value = 0;
    if (plain && (read_short_decimal(run, length, value) || read_long_decimal(run, length, value))) {
        tokenizer.at += length;
        tokenizer.kind = TokenKind::NUMBER;
        tokenizer.number = value;
        return;
    }
    const std::string copy(run, length);
    int used = 0;
    if (std::sscanf(copy.c_str(), "%le%n", &value, &used) != 1)
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

// An error about a file: the scene file named by the program has no line, an included one
// the line of its #include. reason is the system's, or empty.
[[noreturn]] void file_error(int32_t include_line, const char* what, const std::string& path,
                             const char* reason = nullptr) {
    const std::string because = reason ? std::string(" (") + reason + ")" : std::string();
    if (include_line > 0)
        fatal_error(TOKENIZER_ERROR, MODULE, "%s: %s%s in line %d", what, path.c_str(), because.c_str(), include_line);
    fatal_error(TOKENIZER_ERROR, MODULE, "%s: %s%s", what, path.c_str(), because.c_str());
}

// Where the first word stands after blanks and comments, as skip_blank would find it.
size_t first_word_at(std::string_view text, size_t at) {
    while (at < text.size()) {
        const char c = text[at];
        const char after = at + 1 < text.size() ? text[at + 1] : '\0';
        if (c == '/' && after == '/') {
            at = text.find('\n', at);
            if (at == std::string::npos) return text.size();
        } else if (c == '/' && after == '*') {
            const size_t end = text.find("*/", at + 2);
            if (end == std::string::npos) return text.size();
            at = end + 2;
        } else if (is_blank(c)) {
            ++at;
        } else {
            return at;
        }
    }
    return at;
}

SourceText make_source_text(const std::string& path, TextPages pages) {
    const std::string_view t = pages.view();  // stays where it is when the pages move
    const size_t start = t.compare(0, 3, BYTE_ORDER_MARK) == 0 ? 3 : 0;
    const size_t first_word = first_word_at(t, start);
    static constexpr char USUAL[] = "#usual_arithmetic";
    constexpr size_t length = sizeof USUAL - 1;
    const size_t after = first_word + length;
    const bool usual_arithmetic =
        t.compare(first_word, length, USUAL) == 0 &&
        (after == t.size() || !(is_letter(t[after]) || is_digit(t[after]) || t[after] == '_'));
    return {path, std::move(pages), t, start, first_word, usual_arithmetic};
}

}  // namespace

TextPages::TextPages(TextPages&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)),
      size_(std::exchange(other.size_, 0)),
      mapped_(std::exchange(other.mapped_, 0)),
      released_(std::exchange(other.released_, 0)) {}

TextPages::~TextPages() {
    if (data_) munmap(data_ + released_, mapped_ - released_);
}

// Called only while the file is read, before any page is given back.
void TextPages::reserve(size_t capacity) {
    const size_t wanted = whole_pages(size_ + capacity);
    if (wanted <= mapped_) return;
    void* pages = mmap(nullptr, wanted, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (pages == MAP_FAILED) throw std::bad_alloc();
    if (data_) {
        std::memcpy(pages, data_, size_);
        munmap(data_, mapped_);
    }
    data_ = static_cast<char*>(pages);
    mapped_ = wanted;
}

void TextPages::release_before(size_t offset) {
    const size_t end = offset / page_size() * page_size();
    if (end <= released_) return;
    munmap(data_ + released_, end - released_);
    released_ = end;
}

SymbolTable keyword_table() {
    SymbolTable table;
    table.reserve(KEYWORDS.size());
    for (const Keyword& keyword : KEYWORDS) table.push_back({keyword.kind, keyword.name, 0});
    return table;
}

TokenKind keyword_kind(const std::string& name) {
    size_t at = word_hash(name.data(), name.size()) & (KEYWORD_SLOTS - 1);
    for (; KEYWORD_SLOT_TABLE[at] >= 0; at = (at + 1) & (KEYWORD_SLOTS - 1)) {
        const auto keyword = static_cast<size_t>(KEYWORD_SLOT_TABLE[at]);
        if (KEYWORD_SPELLINGS[keyword] == name) return KEYWORDS[keyword].kind;
    }
    return TokenKind::NONE;
}

TokenKind builtin_word(const std::string& name) {
    for (const Keyword& word : BUILTIN_WORDS)
        if (name == word.name) return word.kind;
    return TokenKind::NONE;
}

const char* word_of(TokenKind kind) {
    for (const Keyword& word : KEYWORDS)
        if (word.kind == kind) return word.name;
    for (const Keyword& word : BUILTIN_WORDS)
        if (word.kind == kind) return word.name;
    return "";
}

const SourceText* load_source_text(const std::string& path, int32_t include_line) {
    // One text per file, however it is named: a file included twice declares the same names.
    char* resolved = realpath(path.c_str(), nullptr);
    const std::string identity = resolved ? resolved : path;
    std::free(resolved);
    if (const auto known = textsByPath.find(identity); known != textsByPath.end()) return known->second;
    // Opened without waiting (a FIFO would wait for a writer) and checked through the open
    // handle: a FIFO or a device is never read, and what is checked is what is read.
    const int descriptor = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) {
        if (errno == ENOENT) file_error(include_line, "file not found", path);
        file_error(include_line, "cannot read file", path, std::strerror(errno));
    }
    struct stat info {};
    if (fstat(descriptor, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(descriptor);
        file_error(include_line, "not a regular file", path);
    }
    if (info.st_size > MAX_FILE_SIZE) {
        close(descriptor);
        file_error(include_line, "file larger than 256 MB", path);
    }
    TextPages pages;
    // A byte more than the file holds, so that its end is met without making room again.
    pages.reserve(static_cast<size_t>(info.st_size) + 1);
    ssize_t got = 0;
    while (pages.view().size() <= static_cast<size_t>(MAX_FILE_SIZE)) {
        if (pages.room() == 0) pages.reserve(GROWTH_ROOM);
        got = read(descriptor, pages.free_start(), pages.room());
        if (got <= 0) break;
        pages.grow(static_cast<size_t>(got));
    }
    const int reason = errno;
    close(descriptor);
    if (got < 0) file_error(include_line, "cannot read file", path, std::strerror(reason));
    // A file that grew while it was read.
    if (pages.view().size() > static_cast<size_t>(MAX_FILE_SIZE))
        file_error(include_line, "file larger than 256 MB", path);
    const SourceText& source = sourceTexts.emplace_back(make_source_text(path, std::move(pages)));
    textsByPath.emplace(identity, &source);
    return &source;
}

void start_reading(const SourceText* source) {
    tokenizer.source = source;
    tokenizer.text = &source->text;
    tokenizer.file_name = source->path;
    tokenizer.at = source->start;
    tokenizer.token_start = tokenizer.scan_start = tokenizer.at;
    tokenizer.line = tokenizer.scan_line = 1;
    tokenizer.component_at = std::string::npos;
}

void forget_source_texts() {
    tokenizer.source = nullptr;
    tokenizer.text = nullptr;
    textsByPath.clear();
    sourceTexts.clear();
}

void release_text_before(const SourceText* source, size_t offset) {
    for (SourceText& text : sourceTexts)
        if (&text == source) text.pages.release_before(offset);
}

void skip_blank() {
    if (!tokenizer.text) return;
    const std::string_view text = *tokenizer.text;
    for (;;) {
        size_t at = tokenizer.at;
        while (at < text.size() && is_blank(text[at])) tokenizer.line += text[at++] == '\n';
        tokenizer.at = at;
        if (at + 1 >= text.size() || text[at] != '/') return;
        // Not a comment: the slash is read again as a division.
        if (text[at + 1] != '/' && text[at + 1] != '*') return;
        tokenizer.at = at + 2;
        if (text[at + 1] == '/') skip_line_comment();
        else skip_block_comment();
    }
}

void read_name() {
    tokenizer.name.clear();
    tokenizer.name_at_end = true;
    if (!tokenizer.text) return;
    const std::string_view text = *tokenizer.text;
    const size_t start = tokenizer.at;
    size_t at = start;
    while (at < text.size() && NAME_CHARACTERS[static_cast<unsigned char>(text[at])]) ++at;
    tokenizer.name.assign(text.data() + start, at - start);
    tokenizer.name_at_end = at == text.size();
    tokenizer.at = at;
}

void name_at_end_error() {
    fatal_error(TOKENIZER_ERROR, MODULE, "Could not read a name in line %d", tokenizer.line);
}

// The words that exist only inside the brackets of an #if; NONE for any other character.
TokenKind condition_kind(int c) {
    const int after = peek_char();
    if ((c == '<' || c == '>' || c == '!') && after == '=') {
        read_char();
        return c == '<' ? TokenKind::LESS_EQUAL : c == '>' ? TokenKind::GREATER_EQUAL : TokenKind::NOT_EQUAL;
    }
    switch (c) {
        case '!': return TokenKind::NOT;
        case '&': return TokenKind::AND;
        case '|': return TokenKind::OR;
        default: return TokenKind::NONE;
    }
}

void scan_token() {
    skip_blank();
    tokenizer.token_start = tokenizer.at;
    const bool component_may_follow = tokenizer.component_at == tokenizer.at;
    tokenizer.component_at = std::string::npos;
    const int c = read_char();
    if (c == EOF) {
        tokenizer.kind = TokenKind::END_OF_FILE;
    } else if (c == '#') {
        tokenizer.kind = TokenKind::HASH;
    } else if (is_letter(c)) {
        push_back_char(c);
        read_name();
        tokenizer.kind = TokenKind::NONE;
        tokenizer.component_at = tokenizer.at;
    } else if (c == '.' && component_may_follow && is_letter(peek_char())) {
        read_name();
        if (tokenizer.name_at_end) name_at_end_error();
        tokenizer.kind = TokenKind::COMPONENT;
    } else if (is_digit(c) || c == '.') {
        push_back_char(c);
        read_number();
    } else {
        tokenizer.kind = readingCondition ? condition_kind(c) : TokenKind::NONE;
        if (tokenizer.kind == TokenKind::NONE) tokenizer.kind = punctuation_kind(c);
        if (tokenizer.kind == TokenKind::NONE)
            fatal_error(TOKENIZER_ERROR, MODULE, "Unknown token in line %d : %s", tokenizer.line,
                        offending_word(c).c_str());
        if (c == ')') tokenizer.component_at = tokenizer.at;
    }
}

const SymbolEntry* find_symbol(const std::string& name) {
    const SymbolTable& symbols = tokenizer.symbols;
    for (; indexedCount < symbols.size(); ++indexedCount) firstEntry.emplace(symbols[indexedCount].name, indexedCount);
    const auto found = firstEntry.find(name);
    return found == firstEntry.end() ? nullptr : &symbols[found->second];
}

void cut_symbols(size_t count) {
    SymbolTable& symbols = tokenizer.symbols;
    for (size_t i = symbols.size(); i-- > count;) {
        if (i >= indexedCount) continue;
        const auto found = firstEntry.find(symbols[i].name);
        if (found != firstEntry.end() && found->second == i) firstEntry.erase(found);
    }
    indexedCount = std::min(indexedCount, count);
    symbols.resize(count);
}

void forget_symbol_index() {
    firstEntry.clear();
    indexedCount = 0;
}

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
    tokenizer.component_at = std::string::npos;
}
int32_t line_of_text_after_token() {
    const std::string_view* text = tokenizer.text;
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
    if (tokenizer.file_name.empty()) return false;
    where.path = tokenizer.file_name.c_str();
    where.line = tokenizer.text ? tokenizer.line : 0;
    return true;
}

std::string_view token_text() {
    if (!tokenizer.text) return {};
    return tokenizer.text->substr(tokenizer.token_start, tokenizer.at - tokenizer.token_start);
}

