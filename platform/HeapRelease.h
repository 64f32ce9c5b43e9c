#pragma once

namespace platform {

// The C library's allocator set for a program that makes and frees large pictures on several threads:
// at most two arenas (each thread that allocates would otherwise keep an arena of its own, and the
// memory freed into it), and a fixed threshold above which a block is mapped on its own, so that a
// freed picture goes back to the system at once instead of raising the threshold and staying in the
// heap. Called first thing in main: an arena a thread has made before stays.
void LimitHeapGrowth();

// Gives the free memory of every arena back to the system: after a document's contents are freed, so
// that the memory of a project closed stays with the system, not with the program.
void ReleaseFreedHeap();

} // namespace platform
