// Allocator thresholds for a program that allocates the same large blocks every frame.
#include "base/allocator.h"

#include <malloc.h>

// Blocks below this come from the heap rather than from a mapping of their own (the largest
// value the allocator accepts); the heap is trimmed only when this much is free at its top.
static constexpr int HEAP_BLOCK_LIMIT = 32 * 1024 * 1024;
static constexpr int HEAP_TRIM_LIMIT = 256 * 1024 * 1024;

void keepFreedMemory() {
    mallopt(M_MMAP_THRESHOLD, HEAP_BLOCK_LIMIT);
    mallopt(M_TRIM_THRESHOLD, HEAP_TRIM_LIMIT);
}
