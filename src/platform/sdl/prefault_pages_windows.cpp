#include "platform/sdl/prefault_pages.h"

// The window's framebuffer is the system's own memory here; there is nothing to ask.
void PrefaultPages(void*, size_t) {}
