// Worker threads that sleep on a condition variable between jobs, and the hand-over of their
// counters to the thread that started the job.
#include "base/worker_pool.h"

#include <sched.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "base/statistics.h"

namespace {

// Looks at the other side before sleeping: a few hundred yields, some tens of microseconds.
constexpr int JOB_SPINS = 200;

struct WorkerPool {
    std::mutex mutex;
    std::condition_variable wake;      // a new job, or the end
    std::condition_variable finished;  // the last worker left the job
    std::vector<std::thread> workers;
    Job job = nullptr;
    void* context = nullptr;
    std::atomic<unsigned> generation{0};  // jobs handed out so far
    std::atomic<int> busy{0};             // workers still in the current job
    bool stopping = false;
    Statistics jobCounts;                 // what the workers counted in the current job

    // At exit the workers leave their loop and end, so their thread-local records are freed. A
    // fatal error met while tracing ends the process from a worker, which cannot wait for itself.
    ~WorkerPool() {
        {
            std::lock_guard<std::mutex> lock(mutex);
            stopping = true;
        }
        wake.notify_all();
        for (std::thread& worker : workers) {
            if (worker.get_id() == std::this_thread::get_id())
                worker.detach();
            else
                worker.join();
        }
    }
};

WorkerPool pool;

// Both sides look for the other for a short while before sleeping: the frameless renderer
// hands out a job every few hundred microseconds, not much more than a wake-up from sleep takes.
void awaitJobBriefly(unsigned seen) {
    for (int i = 0; i < JOB_SPINS && pool.generation.load(std::memory_order_relaxed) == seen; ++i)
        std::this_thread::yield();
}

void awaitWorkersBriefly() {
    for (int i = 0; i < JOB_SPINS && pool.busy.load(std::memory_order_relaxed) != 0; ++i)
        std::this_thread::yield();
}

void workerLoop(int thread) {
    unsigned seen = 0;
    for (;;) {
        Job job = nullptr;
        void* context = nullptr;
        awaitJobBriefly(seen);
        {
            std::unique_lock<std::mutex> lock(pool.mutex);
            pool.wake.wait(lock, [&] { return pool.stopping || pool.generation != seen; });
            if (pool.stopping) return;
            seen = pool.generation;
            job = pool.job;
            context = pool.context;
        }
        job(context, thread);
        std::lock_guard<std::mutex> lock(pool.mutex);
        addStatistics(pool.jobCounts, stats);
        stats = Statistics{};
        if (--pool.busy == 0) pool.finished.notify_one();
    }
}

}  // namespace

int availableCores() {
    cpu_set_t set;
    CPU_ZERO(&set);
    if (sched_getaffinity(0, sizeof set, &set) != 0) return 1;
    const int cores = CPU_COUNT(&set);
    return cores > 0 ? cores : 1;
}

void startWorkerPool(int threads) {
    for (int thread = 1; thread < threads; ++thread) pool.workers.emplace_back(workerLoop, thread);
}

int poolThreads() { return static_cast<int>(pool.workers.size()) + 1; }

void startJob(Job job, void* context) {
    if (pool.workers.empty()) return;
    {
        std::lock_guard<std::mutex> lock(pool.mutex);
        pool.job = job;
        pool.context = context;
        pool.busy = static_cast<int>(pool.workers.size());
        ++pool.generation;
    }
    pool.wake.notify_all();
}

void finishJob() {
    if (pool.workers.empty()) return;
    awaitWorkersBriefly();
    std::unique_lock<std::mutex> lock(pool.mutex);
    pool.finished.wait(lock, [] { return pool.busy == 0; });
    addStatistics(stats, pool.jobCounts);
    pool.jobCounts = Statistics{};
}
