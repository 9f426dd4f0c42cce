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

// While one lives on a thread, the blocks that thread takes are not counted,
// nor is their return, wherever it happens. The native bench keeps the
// stand-in registry's own memory out of the scan's with it (on Windows the
// registry lives in another process).
class UncountedScope {
public:
    // Inactive when active is false (for call sites that count or not).
    explicit UncountedScope(bool active = true);
    ~UncountedScope();
    UncountedScope(const UncountedScope&) = delete;
    UncountedScope& operator=(const UncountedScope&) = delete;

private:
    bool active_;
};

} // namespace hs::bench
