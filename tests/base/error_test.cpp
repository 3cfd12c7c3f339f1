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
