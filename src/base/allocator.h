// How the C library's allocator hands memory back to the system.
#pragma once

// Keeps freed memory in the process instead of returning it to the system at once. The
// software OpenGL driver allocates and frees megabytes every frame; returned and requested
// again, each page is faulted in and cleared anew, which cost the drawing thread about a sixth
// of its time in the window.
void keepFreedMemory();
