// Summing the per-thread counters.
#include "base/statistics.h"

void addStatistics(Statistics& t, const Statistics& p) {
    t.primaryRaysBuilt += p.primaryRaysBuilt;
    t.stackOverflows += p.stackOverflows;
    t.boxTests += p.boxTests;
    t.boxHits += p.boxHits;
    t.coneTests += p.coneTests;
    t.coneHits += p.coneHits;
    t.csgUnionTests += p.csgUnionTests;
    t.csgUnionHits += p.csgUnionHits;
    t.planeTests += p.planeTests;
    t.planeHits += p.planeHits;
    t.prismTests += p.prismTests;
    t.prismHits += p.prismHits;
    t.prismBoundsTests += p.prismBoundsTests;
    t.prismBoundsHits += p.prismBoundsHits;
    t.sphereTests += p.sphereTests;
    t.sphereHits += p.sphereHits;
    t.torusTests += p.torusTests;
    t.torusHits += p.torusHits;
    t.regionTests += p.regionTests;
    t.regionHits += p.regionHits;
    t.primaryRays += p.primaryRays;
    t.shadowCacheTests += p.shadowCacheTests;
    t.shadowCacheHits += p.shadowCacheHits;
    t.shadowRaysBlocked += p.shadowRaysBlocked;
    t.shadowRays += p.shadowRays;
    t.reflectedRays += p.reflectedRays;
    t.refractedRays += p.refractedRays;
}
