// The fixed set of threads that trace frames, started once. The thread that starts a job
// takes part in it, so a pool of one thread is the caller alone and runs everything in order.
#pragma once

// Threads the process may run on (its CPU affinity), at least 1.
int availableCores();

// Starts threads - 1 workers beside the calling thread. Called once; the workers wait for jobs
// until the process ends.
void startWorkerPool(int threads);
// Threads that take part in a job: the workers and the caller; 1 before the pool is started.
int poolThreads();

// One thread's share of a job; thread 0 is the caller, the workers are 1 .. poolThreads() - 1.
using Job = void (*)(void* context, int thread);

// Hands the job to every worker and returns at once: the caller does its own share, then
// calls finishJob.
void startJob(Job job, void* context);
// Waits until every worker has returned from the job, then adds their counters to the
// caller's, so that the caller's record holds the totals again.
void finishJob();

// Runs work(thread) on every thread of the pool, the caller as thread 0, and waits for all.
template <class Work>
void runOnEveryThread(Work& work) {
    startJob([](void* context, int thread) { (*static_cast<Work*>(context))(thread); }, &work);
    work(0);
    finishJob();
}
