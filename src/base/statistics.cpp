// The counters every layer adds to.
#include "base/statistics.h"

Statistics stats;
