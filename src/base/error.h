// The one way the program reports: "ERROR (code): module - message" on standard output,
// then exit status -1. Notices use the same line with "INFORMATION (".
#pragma once

[[noreturn]] void fatal_error(int code, const char* module, const char* format, ...)
    __attribute__((format(printf, 3, 4)));

void notice(int code, const char* module, const char* format, ...) __attribute__((format(printf, 3, 4)));

// Called after an error line is printed and before the process exits. A harness that must
// survive errors (the fuzzer) installs one that does not return, by throwing.
extern void (*fatalHook)(int code);
