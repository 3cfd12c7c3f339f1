// A watcher thread that draws the progress line, so that the tracing threads never wait on a
// terminal.
#include "app/progress.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <utility>

namespace {

using Clock = std::chrono::steady_clock;

inline constexpr auto QUIET_START = std::chrono::seconds(1);      // short runs show nothing
inline constexpr auto REDRAW_PERIOD = std::chrono::milliseconds(100);

struct Watcher {
    std::thread thread;
    std::mutex mutex;
    std::condition_variable wake;
    bool stopping = false;
    bool drawn = false;
    bool stopsAtExit = false;
};

Watcher watcher;

// m:ss, or h:mm:ss from an hour on.
std::string clockTime(double seconds) {
    const long long whole = static_cast<long long>(seconds + 0.5);
    char text[32];
    if (whole >= 3600)
        std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", whole / 3600, whole / 60 % 60, whole % 60);
    else
        std::snprintf(text, sizeof text, "%lld:%02lld", whole / 60, whole % 60);
    return text;
}

void drawLine(double share, double seconds) {
    const std::string left = share > 0 ? clockTime(seconds * (1 - share) / share) : "-:--";
    // \r returns to the line's start, \033[K clears what a longer line left behind.
    std::fprintf(stderr, "\r%3d%% done, %s so far, %s left\033[K", static_cast<int>(share * 100),
                 clockTime(seconds).c_str(), left.c_str());
    std::fflush(stderr);
}

void watch(std::function<double()> shareDone) {
    const Clock::time_point start = Clock::now();
    std::unique_lock<std::mutex> lock(watcher.mutex);
    if (watcher.wake.wait_until(lock, start + QUIET_START, [] { return watcher.stopping; })) return;
    do {
        const double share = std::min(1.0, std::max(0.0, shareDone()));
        drawLine(share, std::chrono::duration<double>(Clock::now() - start).count());
        watcher.drawn = true;
    } while (!watcher.wake.wait_for(lock, REDRAW_PERIOD, [] { return watcher.stopping; }));
}

}  // namespace

void startProgress(bool shown, std::function<double()> shareDone) {
    if (!shown) return;
    // An error ends the process with exit wherever it happens; a watcher still running then
    // would abort it instead.
    if (!watcher.stopsAtExit) watcher.stopsAtExit = std::atexit(stopProgress) == 0;
    watcher.stopping = false;
    watcher.drawn = false;
    watcher.thread = std::thread(watch, std::move(shareDone));
}

void stopProgress() {
    if (!watcher.thread.joinable()) return;
    {
        std::lock_guard<std::mutex> lock(watcher.mutex);
        watcher.stopping = true;
    }
    watcher.wake.notify_one();
    watcher.thread.join();
    if (watcher.drawn) {
        std::fputs("\r\033[K", stderr);
        std::fflush(stderr);
    }
}
