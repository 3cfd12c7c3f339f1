// The one way the program reports: "ERROR (code): module - message" on standard output,
// then exit status -1. Notices use the same line with "INFORMATION (".
#pragma once

#include <string>

[[noreturn]] void fatal_error(int code, const char* module, const char* format, ...)
    __attribute__((format(printf, 3, 4)));

void notice(int code, const char* module, const char* format, ...) __attribute__((format(printf, 3, 4)));

// Called after an error line is printed and before the process exits. A harness that must
// survive errors (the fuzzer) installs one that does not return, by throwing.
extern void (*fatalHook)(int code);

// Where an error is about, while a scene file is being read: the path as it was opened and the
// line reading stands at (0: the file as a whole).
struct ErrorLocation {
    const char* path = nullptr;
    int line = 0;
};
// Installed by the scene reader. When it gives a place, every error is also written on
// standard error in the form compilers use, which editors jump to:
// "PATH:LINE: error: MESSAGE [MODULE CODE]", or "PATH: MESSAGE" for a file as a whole.
extern bool (*errorLocation)(ErrorLocation& where);

// The standard-error copy of the last error written with a place; empty when no error had a
// place since the program started. A window keeps showing it while the scene on screen is the
// last good one.
const std::string& lastPlacedError();
