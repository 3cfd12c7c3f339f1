// The global counters of everything the tracer does, and the report printed at exit.
#pragma once

// Each pair counts attempts, then the attempts that succeeded.
struct Statistics {
    int primaryRaysBuilt = 0;
    int stackOverflows = 0;
    int boxTests = 0, boxHits = 0;
    int coneTests = 0, coneHits = 0;
    int csgUnionTests = 0, csgUnionHits = 0;
    int planeTests = 0, planeHits = 0;
    int prismTests = 0, prismHits = 0;
    int prismBoundsTests = 0, prismBoundsHits = 0;
    int sphereTests = 0, sphereHits = 0;
    int torusTests = 0, torusHits = 0;
    int regionTests = 0, regionHits = 0;
    int primaryRays = 0;
    int shadowCacheTests = 0, shadowCacheHits = 0;
    int shadowRaysBlocked = 0;
    int shadowRays = 0;
};

extern Statistics stats;

// Prints nothing when succeeded is 0.
void printStatLine(const char* label, int total, int succeeded);
// The exit handler: frees the intersection pool, prints the counters and the help.
void printReport();
