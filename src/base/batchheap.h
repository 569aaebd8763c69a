// The heap of a process that runs one batch job and ends.
#pragma once

#include <cstddef>

namespace tarvel {

// Prepares the heap for a job that will use about `expectedBytes` of memory:
// memory freed during the job stays in the heap for the job's next
// allocations instead of going back to the system, and the heap is grown at
// once by the expected size and offered huge pages, so that the kernel maps
// it in a few large steps instead of clearing and mapping one small page at
// each first touch. Where the system has no huge pages, or the heap cannot
// grow in one piece, the job runs on small pages as usual. Meant for a
// process of its own: the heap keeps its size until the process ends.
void prepareBatchHeap(std::size_t expectedBytes);

}  // namespace tarvel
