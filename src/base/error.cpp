// Error and notice lines, flushed as soon as they are written; an error met while a scene file
// is read is repeated on standard error with its place.
#include "base/error.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <string>

void (*fatalHook)(int code) = nullptr;
bool (*errorLocation)(ErrorLocation& where) = nullptr;

static std::string placedError;

const std::string& lastPlacedError() { return placedError; }

static std::string format_line(const char* kind, int code, const char* module, const char* format, va_list args) {
    va_list measuring;
    va_copy(measuring, args);
    const int length = std::vsnprintf(nullptr, 0, format, measuring);
    va_end(measuring);
    std::string message(length > 0 ? static_cast<size_t>(length) : 0, '\0');
    std::vsnprintf(message.data(), message.size() + 1, format, args);
    char prefix[64];
    std::snprintf(prefix, sizeof prefix, "%s (%i): ", kind, code);
    return prefix + std::string(module) + " - " + message;
}

static void print_line(const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

void fatal_error(int code, const char* module, const char* format, ...) {
    va_list args;
    va_start(args, format);
    const std::string line = format_line("ERROR", code, module, format, args);
    va_end(args);
    print_line(line);
    ErrorLocation where;
    if (errorLocation && errorLocation(where)) {
        placedError = std::string(where.path) + ":" + std::to_string(where.line) + ": " + line;
        std::fprintf(stderr, "%s\n", placedError.c_str());
    }
    if (fatalHook) fatalHook(code);
    std::exit(-1);
}

void notice(int code, const char* module, const char* format, ...) {
    va_list args;
    va_start(args, format);
    print_line(format_line("INFORMATION", code, module, format, args));
    va_end(args);
}
