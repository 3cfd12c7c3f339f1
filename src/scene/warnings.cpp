// Scene warnings on standard error, each given once per scene file.
#include "scene/warnings.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <unordered_set>

#include "scene/tokenizer.h"

bool quietWarnings = false;

namespace {

std::unordered_set<std::string> warningsGiven;

}  // namespace

void warn(int line, const char* format, ...) {
    if (quietWarnings) return;
    va_list args;
    va_start(args, format);
    va_list measuring;
    va_copy(measuring, args);
    const int length = std::vsnprintf(nullptr, 0, format, measuring);
    va_end(measuring);
    std::string text(length > 0 ? static_cast<size_t>(length) : 0, '\0');
    std::vsnprintf(text.data(), text.size() + 1, format, args);
    va_end(args);
    const std::string warning = tokenizer.file_name + ":" + std::to_string(line) + ": warning: " + text;
    if (!warningsGiven.insert(warning).second) return;
    std::fprintf(stderr, "%s\n", warning.c_str());
}

void reset_warnings() { warningsGiven.clear(); }

std::string warning_number(double value) {
    if (std::isnan(value)) return "nan";
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}
