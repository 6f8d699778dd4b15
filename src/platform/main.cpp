#include <malloc.h>

#include "platform/harness.h"

int main(int argc, char** argv) {
#ifdef __GLIBC__
  // Pictures are read into blocks of up to a screenful that are freed right after. By
  // default glibc maps each such block afresh and hands it back on free, so every picture
  // faulted its memory in again page by page (on some virtual machines a fault costs
  // microseconds). Kept in the heap instead, the blocks are reused; the footprint stays the
  // same, as the heap returns its top only beyond a few megabytes.
  mallopt(M_MMAP_THRESHOLD, 4 << 20);
  mallopt(M_TRIM_THRESHOLD, 8 << 20);
#endif
  return PlatformMain(argc, argv);
}
