// Error and notice lines, and the exit status of a fatal error in a real process.
#include "base/error.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

TEST(Notice, PrintsInformationLine) {
    testing::internal::CaptureStdout();
    notice(100, "main", "Parsing done...");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "INFORMATION (100): main - Parsing done...\n");
}

TEST(FatalErrorDeathTest, PrintsLineAndExitsWith255) {
    EXPECT_EXIT(
        {
            dup2(STDERR_FILENO, STDOUT_FILENO);
            fatal_error(9001, "tokenizer", "Could not read a number in line %i", 17);
        },
        testing::ExitedWithCode(255), "^ERROR \\(9001\\): tokenizer - Could not read a number in line 17\n$");
}

namespace {

struct Stopped {};
ErrorLocation place;
bool locate(ErrorLocation& where) {
    where = place;
    return true;
}

// The standard-error copy of an error at the given place, as lastPlacedError keeps it.
std::string placedCopy(int line) {
    place = {"ball.pov", line};
    errorLocation = locate;
    fatalHook = [](int) { throw Stopped{}; };
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    try {
        fatal_error(9000, "parser", "Expected , in line %d", 3);
    } catch (const Stopped&) {
    }
    testing::internal::GetCapturedStdout();
    const std::string err = testing::internal::GetCapturedStderr();
    errorLocation = nullptr;
    fatalHook = nullptr;
    EXPECT_EQ(err, lastPlacedError() + "\n");
    return lastPlacedError();
}

}  // namespace

TEST(PlacedError, TakesTheFormEditorsRead) {
    EXPECT_EQ(placedCopy(3), "ball.pov:3: error: Expected , in line 3 [parser 9000]");
    // A file as a whole has no line.
    EXPECT_EQ(placedCopy(0), "ball.pov: Expected , in line 3");
}
