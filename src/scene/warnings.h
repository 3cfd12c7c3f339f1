// Warnings about scene text that loads but may not mean what its author thinks: one line each
// on standard error, "PATH:LINE: warning: ...", never changing what is loaded or printed on
// standard output.
#pragma once

#include <string>

// Set by the program to silence every warning.
extern bool quietWarnings;

// Warns about the given line of the file being read. A declared text is read again at every
// use of its name, so each distinct warning is given only once per scene file.
void warn(int line, const char* format, ...) __attribute__((format(printf, 2, 3)));

// Forgets the warnings given, for the next scene file.
void reset_warnings();

// A number as warnings show it: %g, with every NaN shown as "nan" whatever its sign bit.
std::string warning_number(double value);
