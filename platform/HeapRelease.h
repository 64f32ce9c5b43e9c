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

// The same once the program has paused: ReleaseFreedHeap runs from the event loop IdleReleaseDelayMs after
// the first request that is not yet served, between events, never inside what the user asked for. At
// once, a trim made the next document's pictures fault in fresh pages where they would have reused the
// freed ones, and cost the trim's own walk through the heap on the user's path. Without a Qt application
// object it trims at once.
inline constexpr int IdleReleaseDelayMs = 1000;
void ReleaseFreedHeapWhenIdle();

} // namespace platform
