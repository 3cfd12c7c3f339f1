// The report printed at exit: the counters that succeeded at least once, then the help.
#pragma once

#include "base/statistics.h"

// Prints nothing when succeeded is 0.
void printStatLine(const char* label, Counter total, Counter succeeded);
// The exit handler: frees the intersection pool, prints the counters and the help.
void printReport();
