// Heap accounting of the benchmark program: every operator new and delete
// of the process passes through counters, so that a scan's own memory can be
// told from the memory of the registry it scans.
#pragma once

#include <cstddef>

namespace hs::bench {

// Bytes allocated with operator new and not yet deleted.
std::size_t HeapInUse();
// The most HeapInUse() has been since the last ResetHeapPeak().
std::size_t HeapPeak();
void ResetHeapPeak();

} // namespace hs::bench
