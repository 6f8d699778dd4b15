// Makes the pages of a fresh block of memory present without changing them, so that the
// first picture written into it does not fault them in one by one. Where the host has no
// way to ask, it does nothing.
#pragma once

#include <cstddef>

void PrefaultPages(void* from, size_t bytes);
