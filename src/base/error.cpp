// Error and notice lines, flushed as soon as they are written.
#include "base/error.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

void (*fatalHook)(int code) = nullptr;

static void print_line(const char* kind, int code, const char* module, const char* format, va_list args) {
    std::printf("%s (%i): %s - ", kind, code, module);
    std::vprintf(format, args);
    std::printf("\n");
    std::fflush(stdout);
}

void fatal_error(int code, const char* module, const char* format, ...) {
    va_list args;
    va_start(args, format);
    print_line("ERROR", code, module, format, args);
    va_end(args);
    if (fatalHook) fatalHook(code);
    std::exit(-1);
}

void notice(int code, const char* module, const char* format, ...) {
    va_list args;
    va_start(args, format);
    print_line("INFORMATION", code, module, format, args);
    va_end(args);
}
