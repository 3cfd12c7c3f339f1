// Tokens, line counting, comments, declarations and the state stack of the scene tokenizer.
#include "scene/source_stack.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "scene_files.h"

namespace {

using K = TokenKind;

class TokenizerTest : public SceneLanguageTest {
protected:
    // Every token kind up to and including the end of the file.
    std::vector<TokenKind> kinds() {
        std::vector<TokenKind> result;
        do {
            next_token();
            result.push_back(tokenizer.kind);
        } while (tokenizer.kind != K::END_OF_FILE);
        return result;
    }
    // The line of each token up to the end of the file.
    std::vector<int> lines() {
        std::vector<int> result;
        for (next_token(); tokenizer.kind != K::END_OF_FILE; next_token()) result.push_back(tokenizer.line);
        return result;
    }
};

TEST_F(TokenizerTest, KeywordTableHoldsTheFixedOrderAndCodes) {
    const std::vector<std::pair<std::string, int>> expected = {
        {"rotate", 26},   {"translate", 27},    {"scale", 28},      {"matrix", 29},     {"prism", 32},
        {"sphere", 33},   {"box", 34},          {"cylinder", 35},   {"cone", 36},       {"plane", 30},
        {"torus", 37},    {"difference", 38},   {"union", 39},      {"merge", 40},      {"intersection", 41},
        {"texture", 44},  {"finish", 45},       {"pigment", 46},    {"ambient", 47},    {"diffuse", 48},
        {"phong", 49},    {"phong_size", 50},   {"specular", 51},   {"color", 52},      {"rgb", 53},
        {"object", 31},   {"linear_sweep", 42}, {"conic_sweep", 43}, {"sqrt", 17},      {"cos", 18},
        {"sin", 19},      {"tan", 20},          {"acos", 21},       {"asin", 22},       {"atan", 23},
        {"radians", 24},  {"degrees", 25},      {"camera", 54},     {"location", 55},   {"look_at", 56},
        {"light_source", 57}};
    const SymbolTable table = keyword_table();
    ASSERT_EQ(table.size(), expected.size());
    std::string text;
    for (size_t i = 0; i < table.size(); ++i) {
        EXPECT_EQ(table[i].name, expected[i].first);
        EXPECT_EQ(static_cast<int>(table[i].kind), expected[i].second) << table[i].name;
        EXPECT_EQ(table[i].position, 0);
        text += expected[i].first + " ";
    }
    EXPECT_EQ(tokenizer.symbols.size(), table.size());
    // Each keyword read from a file gives its own code.
    open(text);
    for (const auto& [name, code] : expected) {
        next_token();
        EXPECT_EQ(static_cast<int>(tokenizer.kind), code) << name;
        EXPECT_EQ(tokenizer.name, name);
        EXPECT_EQ(tokenizer.position, 0);
    }
}

TEST_F(TokenizerTest, PunctuationAndUnsignedNumbers) {
    open(",;=<>{}()+-*/ 1-2 -.5");
    EXPECT_EQ(kinds(), (std::vector<K>{K::COMMA, K::SEMICOLON, K::EQUALS, K::LESS, K::GREATER, K::LBRACE,
                                       K::RBRACE, K::LPAREN, K::RPAREN, K::PLUS, K::MINUS, K::TIMES,
                                       K::DIVIDE, K::NUMBER, K::MINUS, K::NUMBER, K::MINUS, K::NUMBER,
                                       K::END_OF_FILE}));
}

TEST_F(TokenizerTest, NumberForms) {
    open("2 0.5 .5 5. 1e3 2.5E-2 7e+1\n");
    for (double value : {2.0, 0.5, 0.5, 5.0, 1000.0, 0.025, 70.0}) {
        next_token();
        ASSERT_EQ(tokenizer.kind, K::NUMBER);
        EXPECT_EQ(tokenizer.number, value);
    }
    next_token();
    EXPECT_EQ(tokenizer.kind, K::END_OF_FILE);
}

TEST_F(TokenizerTest, NumbersEndWhereTheFormattedConversionEndsThem) {
    // A number takes what "%le" takes from a file: a dangling exponent mark is eaten, a second
    // point starts the next number, hexadecimal is read.
    open("0x1.8p3 1.5.5 1e+ 2e3;");
    std::vector<double> numbers;
    for (next_token(); tokenizer.kind == K::NUMBER; next_token()) numbers.push_back(tokenizer.number);
    EXPECT_EQ(numbers, (std::vector<double>{12, 1.5, 0.5, 1, 2000}));
    EXPECT_EQ(tokenizer.kind, K::SEMICOLON);
}

TEST_F(TokenizerTest, NumbersAreTheValuesTheFormattedConversionReads) {
    // Short decimals, decimals too long or too large for the short path, halfway cases, the
    // ends of the range, and the forms only "%le" reads: the same bits, ending at the same place.
    const char* spellings[] = {"0.020000", "4.264845", "0.1", "3.", ".5", "007", "1e22", "1e23", "8.5e-23",
                               "9007199254740992", "9007199254740993", "9007199254740993.000001",
                               "12345678901234567890123", "0.30000000000000004441", "1E-5", "2.5e+3",
                               "2.2250738585072011e-308", "4.9406564584124654e-324", "2.4703282292062327e-324",
                               "1e-400", "1.7976931348623157e308", "1.7976931348623159e308", "1e400",
                               "1e", "1e+", "0x1.8p3", "0X1P-2"};
    for (const char* spelling : spellings) {
        double expected = 0;
        int used = 0;
        ASSERT_EQ(std::sscanf(spelling, "%le%n", &expected, &used), 1) << spelling;
        reset_tokenizer();
        open(std::string(spelling) + ";");
        next_token();
        ASSERT_EQ(tokenizer.kind, K::NUMBER) << spelling;
        uint64_t read = 0, want = 0;
        std::memcpy(&read, &tokenizer.number, sizeof read);
        std::memcpy(&want, &expected, sizeof want);
        EXPECT_EQ(read, want) << spelling;
        EXPECT_EQ(tokenizer.at, static_cast<size_t>(used)) << spelling;
    }
}

TEST_F(TokenizerTest, KeywordRunsIntoBraceButNotIntoDigit) {
    open("sphere{phong_size}");
    EXPECT_EQ(kinds(), (std::vector<K>{K::SPHERE, K::LBRACE, K::PHONG_SIZE, K::RBRACE, K::END_OF_FILE}));
    EXPECT_FATAL_LINE(
        {
            open("phong_size2 ");
            next_token();
        },
        "ERROR (9001): tokenizer - Unknown identifier 'phong_size2' in line 1");
}

TEST_F(TokenizerTest, KeywordsAreCaseSensitive) {
    EXPECT_FATAL_LINE(
        {
            open("\n\nSphere {");
            next_token();
        },
        "ERROR (9001): tokenizer - Unknown identifier 'Sphere' in line 3");
}

TEST_F(TokenizerTest, SlashDividesAndDoubleSlashComments) {
    open("#declare a = 1;\n#declare b = 2;\na/b\na//b\n");
    EXPECT_EQ(kinds(), (std::vector<K>{K::IDENTIFIER, K::DIVIDE, K::IDENTIFIER, K::IDENTIFIER, K::END_OF_FILE}));
    reset_tokenizer();
    open("4/");
    EXPECT_EQ(kinds(), (std::vector<K>{K::NUMBER, K::DIVIDE, K::END_OF_FILE}));
}

TEST_F(TokenizerTest, CrLfFilesCountLinesLikeLfFiles) {
    const std::string text =
        "a // comment\n"
        "/* block\n"
        "   comment **/ b\n"
        "/**/\n"
        "// only comment\n"
        "c /* one */ /* two\n"
        "*/d\n"
        "\n"
        "e";
    std::string crlf;
    for (char c : text) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    std::string declared = "#declare a = 1; #declare b = 1; #declare c = 1; #declare d = 1; #declare e = 1;";
    open(declared + text + " ");
    const std::vector<int> lf_lines = lines();
    EXPECT_EQ(lf_lines, (std::vector<int>{1, 3, 6, 7, 9}));
    reset_tokenizer();
    open(declared + crlf + " ");
    EXPECT_EQ(lines(), lf_lines);
}

TEST_F(TokenizerTest, CommentsEndWithAnyNumberOfStarsAndDoNotNest) {
    open("/* a /* b ***/ 1 /*/ still in comment */ 2 //\n/* x */// y\n3");
    EXPECT_EQ(kinds(), (std::vector<K>{K::NUMBER, K::NUMBER, K::NUMBER, K::END_OF_FILE}));
    EXPECT_EQ(tokenizer.line, 3);
}

TEST_F(TokenizerTest, EmptyAndCommentOnlyFilesEndAtOnceForGood) {
    for (const char* text : {"", "  \n", "// nothing\n/* at all */"}) {
        reset_tokenizer();
        open(text);
        for (int i = 0; i < 3; ++i) {
            next_token();
            EXPECT_EQ(tokenizer.kind, K::END_OF_FILE) << text;
        }
    }
}

TEST_F(TokenizerTest, UngetReturnsTheSameTokenWithoutReading) {
    open("#declare r = 1;\nr 2.5 x");
    next_token();
    const int position = tokenizer.position;
    EXPECT_GT(position, 0);
    unget_token();
    next_token();
    EXPECT_EQ(tokenizer.kind, K::IDENTIFIER);
    EXPECT_EQ(tokenizer.position, position);
    next_token();
    unget_token();
    next_token();
    EXPECT_EQ(tokenizer.kind, K::NUMBER);
    EXPECT_EQ(tokenizer.number, 2.5);
}

TEST_F(TokenizerTest, NamesMayEndButNotStartWithUnderscore) {
    open("#declare abc_ = 1;\nabc_ ");
    next_token();
    EXPECT_EQ(tokenizer.kind, K::IDENTIFIER);
    EXPECT_FATAL_LINE(
        {
            open("1\n2\n_abc def");
            kinds();
        },
        "ERROR (9001): tokenizer - Unknown token in line 3 : _abc");
}

TEST_F(TokenizerTest, UnknownTokenEchoIsShortened) {
    EXPECT_FATAL_LINE(
        {
            open("1\n\n$" + std::string(5000, 'x'));
            kinds();
        },
        "ERROR (9001): tokenizer - Unknown token in line 3 : $" + std::string(39, 'x'));
}

TEST_F(TokenizerTest, LexicalErrors) {
    EXPECT_FATAL_LINE(
        {
            open("1\nsphere");
            kinds();
        },
        "ERROR (9001): tokenizer - Could not read a name in line 2");
    EXPECT_FATAL_LINE(
        {
            open("\n. 5");
            kinds();
        },
        "ERROR (9001): tokenizer - Could not read a number in line 2");
    EXPECT_FATAL_LINE(
        {
            open("1 /* open\n\n");
            kinds();
        },
        "ERROR (9001): tokenizer - Unterminated comment in line 1");
    EXPECT_FATAL_LINE(open_scene_file("/nonexistent/dir/x.pov"),
                      "ERROR (9001): tokenizer - file not found: /nonexistent/dir/x.pov");
}

TEST_F(TokenizerTest, DeclarationRecordsNameAndTextPosition) {
    const std::string text = "/* c */ #declare Radius_2 =  \n 1.5 ; 7";
    open(text);
    next_token();
    EXPECT_EQ(tokenizer.kind, K::NUMBER);
    EXPECT_EQ(tokenizer.number, 7);
    ASSERT_EQ(tokenizer.symbols.size(), static_cast<size_t>(KEYWORD_COUNT + 1));
    const SymbolEntry& entry = tokenizer.symbols.back();
    EXPECT_EQ(entry.kind, K::IDENTIFIER);
    EXPECT_EQ(entry.name, "Radius_2");
    EXPECT_EQ(entry.position, static_cast<int>(text.find("1.5")));
    EXPECT_EQ(tokenizer.line, 2);
}

TEST_F(TokenizerTest, DeclarationsStandBetweenAnyTokens) {
    open("< #declare a = 1; 1 #declare b = sphere { <0,0,0>, 1 #declare c = 2; } , #declare d = 3;>");
    EXPECT_EQ(kinds(), (std::vector<K>{K::LESS, K::NUMBER, K::COMMA, K::GREATER, K::END_OF_FILE}));
    // The one inside the skipped block is recorded too, in the order the declarations began.
    std::vector<std::string> names;
    for (size_t i = KEYWORD_COUNT; i < tokenizer.symbols.size(); ++i) names.push_back(tokenizer.symbols[i].name);
    EXPECT_EQ(names, (std::vector<std::string>{"a", "b", "c", "d"}));
}

TEST_F(TokenizerTest, SemicolonAfterBlockDeclarationIsAnOrdinaryToken) {
    open("#declare t = texture { pigment { color rgb <1,0,0> } };\n#declare n = 1 + 2 }\n; x ");
    next_token();
    EXPECT_EQ(tokenizer.kind, K::SEMICOLON);
    EXPECT_EQ(tokenizer.line, 1);
    // A number declaration runs on to the first ";" or "{", whatever stands between.
    EXPECT_FATAL_LINE(next_token(), "ERROR (9001): tokenizer - Unknown identifier 'x' in line 3");
}

TEST_F(TokenizerTest, FirstDeclarationWinsAndKeywordsCannotBeRedeclared) {
    open("#declare A = 1;\n#declare A = 5;\n#declare sphere = 2;\nA sphere ");
    next_token();
    EXPECT_EQ(tokenizer.kind, K::IDENTIFIER);
    EXPECT_EQ(tokenizer.position, static_cast<int>(std::string("#declare A = ").size()));
    next_token();
    EXPECT_EQ(tokenizer.kind, K::SPHERE);
}

TEST_F(TokenizerTest, DeclarationErrors) {
    EXPECT_FATAL_LINE(
        {
            open("1\n# declare a = 1;");
            kinds();
        },
        "ERROR (9001): tokenizer - Wrong declare statement in line 2");
    EXPECT_FATAL_LINE(
        {
            open("#declare a\n\n 1;");
            kinds();
        },
        "ERROR (9001): tokenizer - Missing '=' in declare statement in line 3");
    EXPECT_FATAL_LINE(
        {
            open("#declare a = b;");
            kinds();
        },
        "ERROR (9001): tokenizer - Unknown identifier 'b' in line 1");
    EXPECT_FATAL_LINE(
        {
            open("1\n#declare a = 1 + 2\n\n");
            kinds();
        },
        "ERROR (9001): tokenizer - Unterminated declare statement in line 2");
    EXPECT_FATAL_LINE(
        {
            open("\n#declare a = sphere { { }\n\n");
            kinds();
        },
        "ERROR (9001): tokenizer - Unterminated declare statement in line 2");
    EXPECT_FATAL_LINE(
        {
            open("#");
            kinds();
        },
        "ERROR (9001): tokenizer - Could not read a name in line 1");
}

TEST_F(TokenizerTest, DeclarationsNestedWithoutEndAreReported) {
    std::string text;
    for (int i = 0; i < 1200; ++i) text += "#declare a" + std::to_string(i) + " ";
    EXPECT_FATAL_LINE(
        {
            open(text);
            kinds();
        },
        "ERROR (9001): tokenizer - Declarations nested too deeply in line 1");
    // A long run of declarations one after another is no nesting at all.
    std::string run;
    for (int i = 0; i < 5000; ++i) run += "#declare a" + std::to_string(i) + " = " + std::to_string(i) + ";\n";
    open(run + "1");
    next_token();
    EXPECT_EQ(tokenizer.kind, K::NUMBER);
    EXPECT_EQ(tokenizer.line, 5001);
}

TEST_F(TokenizerTest, StateStackRestoresEverythingSaved) {
    open("#declare a = 1;\n2 3");
    next_token();
    push_state();
    EXPECT_EQ(state_depth(), 1);
    open("#declare z = 9;\n#declare y = 8; 4");
    next_token();
    EXPECT_EQ(tokenizer.symbols.size(), static_cast<size_t>(KEYWORD_COUNT + 3));
    unget_token();
    pop_state();
    EXPECT_EQ(state_depth(), 0);
    EXPECT_EQ(tokenizer.symbols.size(), static_cast<size_t>(KEYWORD_COUNT + 1));
    EXPECT_EQ(tokenizer.number, 2);
    EXPECT_EQ(tokenizer.line, 2);
    EXPECT_FALSE(tokenizer.unget_pending);
    next_token();
    EXPECT_EQ(tokenizer.number, 3);
}

TEST_F(TokenizerTest, SeekForwardCountsEveryNewline) {
    open("a\r\n// b\n/* c\n*/ d\n");
    seek_forward(14);
    EXPECT_EQ(tokenizer.line, 4);
    seek_forward(1000);  // stops at the end of the file
    EXPECT_EQ(tokenizer.line, 5);
}

TEST_F(TokenizerTest, OpeningForgetsATokenPushedBackInTheLastFile) {
    open("1");
    next_token();
    unget_token();
    open("2");
    next_token();
    EXPECT_EQ(tokenizer.number, 2);
}

}  // namespace
