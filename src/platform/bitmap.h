// Loading BMP pictures into surfaces; DalkLoadBitmap reads files, this reads bytes
// already in memory (used by the fuzz target and by tests).
#pragma once

#include <cstddef>
#include <string>

#include "platform/ddraw.h"

// A BMP image in memory as a new surface (16: RGB565; 8: kept palettised), or null.
Surface* LoadBitmapFromMemory(const void* data, size_t size, int bitsPerPixel);
// The same from a host path (any thread).
Surface* LoadBitmapFromPath(const std::string& hostPath, int bitsPerPixel);
// Called last on a thread of ours that read pictures.
void EndBitmapThread();
