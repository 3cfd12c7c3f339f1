// A monotonic tick counter in place of the system's uptime counter.
#include "render/clock.h"

#include <chrono>

std::uint32_t monotonicTicks() {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

std::uint32_t (*readTicks)() = monotonicTicks;
