#pragma once

namespace platform {

// The C library's allocator set for a program that makes and frees large pictures on several threads:
// at most two heap arenas (each thread that allocates would otherwise keep an arena of its own, and the
// memory freed into it). Called first thing in main: an arena a thread has made before stays.
void LimitHeapGrowth();

// Gives the free memory of every arena back to the system: after a document's contents are freed, so
// that the memory of a project closed stays with the system, not with the program (a freed picture
// also raises the C library's threshold for blocks mapped on their own, so later pictures come from the
// heap and, unless trimmed, stay there when freed).
void ReleaseFreedHeap();

} // namespace platform
