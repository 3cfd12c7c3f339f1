// The counters of everything the tracer does, one record per thread.
#pragma once

// Each pair counts attempts, then the attempts that succeeded. 64 bits wide: a minute of
// frames makes billions of region tests, which would wrap a 32-bit counter.
using Counter = long long;

struct Statistics {
    Counter primaryRaysBuilt = 0;
    Counter stackOverflows = 0;
    Counter boxTests = 0, boxHits = 0;
    Counter coneTests = 0, coneHits = 0;
    Counter csgUnionTests = 0, csgUnionHits = 0;
    Counter planeTests = 0, planeHits = 0;
    Counter prismTests = 0, prismHits = 0;
    Counter prismBoundsTests = 0, prismBoundsHits = 0;
    Counter sphereTests = 0, sphereHits = 0;
    Counter torusTests = 0, torusHits = 0;
    Counter regionTests = 0, regionHits = 0;
    Counter primaryRays = 0;
    Counter shadowCacheTests = 0, shadowCacheHits = 0;
    Counter shadowRaysBlocked = 0;
    Counter shadowRays = 0;
    Counter reflectedRays = 0;  // mirrored rays traced, total internal reflections included
    Counter refractedRays = 0;  // rays traced on through surfaces that let light pass
};

// The counters of the calling thread. The main thread's record holds the totals: the worker
// pool adds every worker's counts to it at the end of each job. Defined inline in the header so
// that every access compiles to one thread-pointer-relative add, without the wrapper call an
// extern thread_local of class type costs.
inline thread_local Statistics stats;

// Adds every counter of part to total.
void addStatistics(Statistics& total, const Statistics& part);
