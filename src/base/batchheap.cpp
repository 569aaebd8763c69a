#include "base/batchheap.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#if defined(__GLIBC__)
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace tarvel {

#if defined(__GLIBC__)

void prepareBatchHeap(std::size_t expectedBytes) {
    // Every block up to 32 MiB (the most the allocator allows) comes from
    // the heap, where a freed block is used again, rather than from a
    // mapping of its own that is cleared when made and unmapped when freed.
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TRIM_THRESHOLD, 1 << 30);

    // Huge pages pay for a job of some size only: a small one would have a
    // whole huge page cleared for the little it touches.
    constexpr std::size_t smallest = 8 << 20;
    constexpr std::size_t largest = 1 << 30;
    if (expectedBytes < smallest) {
        return;
    }
    const std::size_t grow = std::min(expectedBytes, largest);
    // The allocator grows the heap by the request plus this pad: one request
    // larger than the free space at the top grows it by the whole job's size.
    mallopt(M_TOP_PAD, static_cast<int>(grow));
    auto* const before = static_cast<char*>(sbrk(0));
    const std::size_t top = mallinfo2().keepcost;
    // Through a volatile pointer, so that the compiler keeps the pair.
    void* volatile block = std::malloc(top + 4096);
    std::free(block);
    auto* const after = static_cast<char*>(sbrk(0));
    if (before == reinterpret_cast<char*>(-1) || after <= before) {
        return;  // the heap did not grow in one piece: nothing to advise
    }
    const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    const std::uintptr_t start = (reinterpret_cast<std::uintptr_t>(before) + page - 1) & ~(page - 1);
    const std::uintptr_t end = reinterpret_cast<std::uintptr_t>(after) & ~(page - 1);
    if (end > start) {
        madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE);
    }
}

#else

void prepareBatchHeap(std::size_t) {}

#endif

}  // namespace tarvel
