// Replaces the global operator new and delete with counting ones. Each block
// carries its size in a header, so unsized deletes are counted too; the
// header's top bit marks a block taken while counting was off.
#include "bench/heap_counter.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace hs::bench {
namespace {

std::atomic<std::size_t> inUse{0};
std::atomic<std::size_t> peak{0};
thread_local int uncountedDepth = 0;

constexpr std::size_t kUncounted = ~(~std::size_t{0} >> 1);

// Keeps the blocks aligned as operator new must.
constexpr std::size_t kHeader = alignof(std::max_align_t) > 16 ? alignof(std::max_align_t) : 16;

void* Take(std::size_t size) {
    void* block = std::malloc(size + kHeader);
    if (block == nullptr) return nullptr;
    if (uncountedDepth > 0) {
        *static_cast<std::size_t*>(block) = size | kUncounted;
        return static_cast<char*>(block) + kHeader;
    }
    *static_cast<std::size_t*>(block) = size;
    const std::size_t now = inUse.fetch_add(size, std::memory_order_relaxed) + size;
    std::size_t seen = peak.load(std::memory_order_relaxed);
    while (now > seen && !peak.compare_exchange_weak(seen, now, std::memory_order_relaxed)) {
    }
    return static_cast<char*>(block) + kHeader;
}

void Give(void* pointer) {
    if (pointer == nullptr) return;
    void* block = static_cast<char*>(pointer) - kHeader;
    const std::size_t size = *static_cast<std::size_t*>(block);
    if ((size & kUncounted) == 0) inUse.fetch_sub(size, std::memory_order_relaxed);
    std::free(block);
}

void* TakeOrThrow(std::size_t size) {
    void* pointer = Take(size);
    if (pointer == nullptr) throw std::bad_alloc();
    return pointer;
}

} // namespace

std::size_t HeapInUse() { return inUse.load(); }
std::size_t HeapPeak() { return peak.load(); }
void ResetHeapPeak() { peak.store(inUse.load()); }

UncountedScope::UncountedScope(bool active) : active_(active) {
    if (active_) ++uncountedDepth;
}
UncountedScope::~UncountedScope() {
    if (active_) --uncountedDepth;
}

} // namespace hs::bench

void* operator new(std::size_t size) { return hs::bench::TakeOrThrow(size); }
void* operator new[](std::size_t size) { return hs::bench::TakeOrThrow(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return hs::bench::Take(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return hs::bench::Take(size); }
void operator delete(void* pointer) noexcept { hs::bench::Give(pointer); }
void operator delete[](void* pointer) noexcept { hs::bench::Give(pointer); }
void operator delete(void* pointer, std::size_t) noexcept { hs::bench::Give(pointer); }
void operator delete[](void* pointer, std::size_t) noexcept { hs::bench::Give(pointer); }
void operator delete(void* pointer, const std::nothrow_t&) noexcept { hs::bench::Give(pointer); }
void operator delete[](void* pointer, const std::nothrow_t&) noexcept { hs::bench::Give(pointer); }
