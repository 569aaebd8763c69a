// Allocation failures on demand, for tests of what a run does when memory
// runs out. The core test program replaces the global operator new: unarmed
// it allocates as usual; armed, the n-th allocation from then on throws
// std::bad_alloc, once.
#pragma once

#include <cstddef>

namespace tarvel::test {

// Makes the n-th allocation from now on fail (1 is the next one); 0 disarms.
void failAllocation(std::size_t n);
// How many allocations were made since the last failAllocation call.
std::size_t allocationsSinceArmed();

}  // namespace tarvel::test
