#include "failingallocator.h"

#include <cstdlib>
#include <new>

namespace {

// Plain counters: the tests that arm them run on one thread.
std::size_t g_target = 0;
std::size_t g_count = 0;

void* allocate(std::size_t size) {
    ++g_count;
    if (g_target != 0 && g_count == g_target) {
        throw std::bad_alloc();
    }
    if (void* p = std::malloc(size == 0 ? 1 : size)) {
        return p;
    }
    throw std::bad_alloc();
}

}  // namespace

namespace tarvel::test {

void failAllocation(std::size_t n) {
    g_target = n;
    g_count = 0;
}

std::size_t allocationsSinceArmed() {
    return g_count;
}

}  // namespace tarvel::test

void* operator new(std::size_t size) {
    return allocate(size);
}

void operator delete(void* p) noexcept {
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
