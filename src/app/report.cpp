// The exit report: counters that succeeded at least once, then the key and mouse help.
#include "app/report.h"

#include <cstdio>

#include "objects/object.h"
#include "trace/ray.h"

void printStatLine(const char* label, Counter total, Counter succeeded) {
    if (succeeded == 0) return;
    const double percent = total < 1 ? 0.0 : static_cast<double>(succeeded) / total * 100.0;
    std::printf("%s %9lld total, %5.2f%% succeeded\n", label, total, percent);
}

// Only scenes with mirrors or glass trace secondary rays, so other reports stay as they were.
static void printSecondaryRays() {
    if (stats.reflectedRays == 0 && stats.refractedRays == 0) return;
    std::printf("reflected rays             %9lld total\n", stats.reflectedRays);
    std::printf("refracted rays             %9lld total\n", stats.refractedRays);
}

static void printHelp() {
    std::printf("+----+\n!keys!\n+----+\n");
    std::printf("f switch between frameless/non-frameless rendering\n");
    std::printf("- decrease Quality\n");
    std::printf("+ increase Quality\n");
    std::printf("p switch polygonfill mode (non-frameless only)\n");
    std::printf("b switch between border/non-border rendering (non-frameless only)\n");
    std::printf("c view no. of objects per quad (non-frameless only)\n");
    std::printf("s switch draw statistics\n");
    std::printf("\n+-----+\n!mouse!\n+-----+\n");
    std::printf("left btn: rotate\n");
    std::printf("right btn: move into screen\n");
    std::printf("+-------------------------------------+\n");
    std::printf("!   scene models by the quadray team  !\n");
    std::printf("+-------------------------------------+\n");
}

void printReport() {
    freeAllStacks();
    std::printf("\n+----+\n!rays!\n+----+\n");
    printStatLine("ray bounding region tests ", stats.regionTests, stats.regionHits);
    std::printf("primary rays               %9lld total\n", stats.primaryRays);
    printStatLine("shadow rays               ", stats.shadowRays, stats.shadowRaysBlocked);
    printStatLine("  shadow cache            ", stats.shadowCacheTests, stats.shadowCacheHits);
    printSecondaryRays();
    std::printf("\n+----------+\n!primitives!\n+----------+\n");
    std::printf("%i primitives, %i CSG nodes\n", primitiveCount, csgNodeCount);
    printStatLine("ray torus tests           ", stats.torusTests, stats.torusHits);
    printStatLine("ray cone tests            ", stats.coneTests, stats.coneHits);
    printStatLine("ray sphere tests          ", stats.sphereTests, stats.sphereHits);
    printStatLine("ray plane tests           ", stats.planeTests, stats.planeHits);
    printStatLine("ray prism tests           ", stats.prismTests, stats.prismHits);
    printStatLine("  prism bounds            ", stats.prismBoundsTests, stats.prismBoundsHits);
    printStatLine("ray csg union tests       ", stats.csgUnionTests, stats.csgUnionHits);
    std::printf("\n");
    printHelp();
    std::fflush(stdout);
}
