#include "platform/sdl/prefault_pages.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>

#ifndef MADV_POPULATE_WRITE
#define MADV_POPULATE_WRITE 23  // Linux 5.14; older kernels refuse it and nothing changes
#endif

void PrefaultPages(void* from, size_t bytes) {
  const auto page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
  const auto start = reinterpret_cast<uintptr_t>(from) & ~(page - 1);
  madvise(reinterpret_cast<void*>(start), reinterpret_cast<uintptr_t>(from) + bytes - start,
          MADV_POPULATE_WRITE);
}
