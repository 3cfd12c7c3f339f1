// How the C library's allocator hands memory back to the system, and memory for large tables.
#pragma once

#include <cstddef>

// Keeps freed memory in the process instead of returning it to the system at once. The
// software OpenGL driver allocates and frees megabytes every frame; returned and requested
// again, each page is faulted in and cleared anew, which cost the drawing thread about a sixth
// of its time in the window.
void keepFreedMemory();

// Memory for a large table read at random, such as the sample grid: from 2 MiB on it comes in
// pages of 2 MiB where the system grants them, which the processor's address cache covers far
// better than pages of 4 KiB.
void* allocateTable(std::size_t bytes);
void freeTable(void* memory, std::size_t bytes);

template <class T>
struct TableAllocator {
    using value_type = T;
    TableAllocator() = default;
    template <class U>
    TableAllocator(const TableAllocator<U>&) {}
    T* allocate(std::size_t n) { return static_cast<T*>(allocateTable(n * sizeof(T))); }
    void deallocate(T* p, std::size_t n) { freeTable(p, n * sizeof(T)); }
    template <class U>
    bool operator==(const TableAllocator<U>&) const { return true; }
    template <class U>
    bool operator!=(const TableAllocator<U>&) const { return false; }
};
