// Error and notice lines, flushed as soon as they are written; an error met while a scene file
// is read is repeated on standard error with its place, in the form editors read.
#include "base/error.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <string>

void (*fatalHook)(int code) = nullptr;
bool (*errorLocation)(ErrorLocation& where) = nullptr;

static std::string placedError;

const std::string& lastPlacedError() { return placedError; }

static std::string format_message(const char* format, va_list args) {
    va_list measuring;
    va_copy(measuring, args);
    const int length = std::vsnprintf(nullptr, 0, format, measuring);
    va_end(measuring);
    std::string message(length > 0 ? static_cast<size_t>(length) : 0, '\0');
    std::vsnprintf(message.data(), message.size() + 1, format, args);
    return message;
}

static std::string format_line(const char* kind, int code, const char* module, const std::string& message) {
    char prefix[64];
    std::snprintf(prefix, sizeof prefix, "%s (%i): ", kind, code);
    return prefix + std::string(module) + " - " + message;
}

// The form compilers use, which editors parse: the place, "error:", the message, and the
// module and code in brackets. An error about a whole file has no line.
static std::string placed_line(const ErrorLocation& where, int code, const char* module, const std::string& message) {
    if (where.line <= 0) return std::string(where.path) + ": " + message;
    return std::string(where.path) + ":" + std::to_string(where.line) + ": error: " + message + " [" + module + " " +
           std::to_string(code) + "]";
}

static void print_line(const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

void fatal_error(int code, const char* module, const char* format, ...) {
    va_list args;
    va_start(args, format);
    const std::string message = format_message(format, args);
    va_end(args);
    print_line(format_line("ERROR", code, module, message));
    ErrorLocation where;
    if (errorLocation && errorLocation(where)) {
        placedError = placed_line(where, code, module, message);
        std::fprintf(stderr, "%s\n", placedError.c_str());
    }
    if (fatalHook) fatalHook(code);
    std::exit(-1);
}

void notice(int code, const char* module, const char* format, ...) {
    va_list args;
    va_start(args, format);
    print_line(format_line("INFORMATION", code, module, format_message(format, args)));
    va_end(args);
}
