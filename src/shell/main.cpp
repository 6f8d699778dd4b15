// The program's start: the heap made ready for start-up, then the platform runs the game.
#include <algorithm>
#include <cstdint>
#include <cstdlib>

// The C library says whether it is glibc in the headers above.
#ifdef __GLIBC__
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>
#endif

#include "platform/app/platform_main.h"
#include "shell/winmain.h"

namespace {

#ifdef __GLIBC__
constexpr uintptr_t kHugePage = uintptr_t{2} << 20;
// About what start-up keeps in the heap (pictures, tiles, sounds, the display surfaces), with
// room to spare; untouched parts cost address space only.
constexpr size_t kStartHeap = size_t{24} << 20;

// Start-up fills some ten megabytes of heap with pictures, and each 4 KiB page that is first
// touched is a fault, which on some virtual machines costs 10 microseconds or more: a few
// thousand of them were the largest part of the time to the first picture. The heap is made
// at its start-up size at once and asked to be backed by 2 MiB pages, so it faults in a few
// dozen times instead. One arena for every thread keeps the pictures read on another thread
// in the same heap (they are few, large allocations: the shared lock costs nothing). Where
// the system gives no huge pages the advice is ignored and all works as before.
void PrepareHeap() {
  mallopt(M_ARENA_MAX, 1);
  mallopt(M_TOP_PAD, static_cast<int>(kStartHeap));
  const auto before = reinterpret_cast<uintptr_t>(sbrk(0));
  void* first = std::malloc(kHugePage);  // more than the heap holds: it grows, by the pad too
  const auto after = reinterpret_cast<uintptr_t>(sbrk(0));
  // Only what the heap just grew by (an allocator that does not use the heap grows nothing).
  // The block's address takes part, so the compiler cannot drop the allocation as unused.
  const uintptr_t low = std::max(before, reinterpret_cast<uintptr_t>(first));
  std::free(first);
  const uintptr_t from = (low + kHugePage - 1) & ~(kHugePage - 1);
  const uintptr_t to = after & ~(kHugePage - 1);
  if (before != static_cast<uintptr_t>(-1) && after != static_cast<uintptr_t>(-1) && to > from)
    madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE);
}
#endif

}  // namespace

int main(int argc, char** argv) {
#ifdef __GLIBC__
  // Pictures are read into blocks of up to a screenful that are freed right after. By
  // default glibc maps each such block afresh and hands it back on free, so every picture
  // faulted its memory in again page by page (on some virtual machines a fault costs
  // microseconds). Kept in the heap instead, the blocks are reused; the footprint stays the
  // same, as the heap returns its top only beyond a few megabytes.
  mallopt(M_MMAP_THRESHOLD, 4 << 20);
  mallopt(M_TRIM_THRESHOLD, 8 << 20);
  PrepareHeap();
#endif
  return PlatformMain(argc, argv, WinMain);
}
