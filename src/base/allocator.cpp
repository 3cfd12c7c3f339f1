// Allocator thresholds for a program that allocates the same large blocks every frame.
#include "base/allocator.h"

#include <malloc.h>
#include <sys/mman.h>

#include <cstdlib>
#include <new>

// Blocks below this come from the heap rather than from a mapping of their own (the largest
// value the allocator accepts); the heap is trimmed only when this much is free at its top.
static constexpr int HEAP_BLOCK_LIMIT = 32 * 1024 * 1024;
static constexpr int HEAP_TRIM_LIMIT = 256 * 1024 * 1024;

void keepFreedMemory() {
    mallopt(M_MMAP_THRESHOLD, HEAP_BLOCK_LIMIT);
    mallopt(M_TRIM_THRESHOLD, HEAP_TRIM_LIMIT);
}

static constexpr std::size_t LARGE_PAGE = 2 * 1024 * 1024;

void* allocateTable(std::size_t bytes) {
    if (bytes < LARGE_PAGE) return ::operator new(bytes);
    const std::size_t size = (bytes + LARGE_PAGE - 1) / LARGE_PAGE * LARGE_PAGE;
    void* memory = std::aligned_alloc(LARGE_PAGE, size);
    if (!memory) throw std::bad_alloc();
    // Only advice: where it is not followed the table has small pages and works the same.
    madvise(memory, size, MADV_HUGEPAGE);
    return memory;
}

void freeTable(void* memory, std::size_t bytes) {
    if (bytes < LARGE_PAGE)
        ::operator delete(memory);
    else
        std::free(memory);
}
