// Loading BMP pictures into surfaces; DalkLoadBitmap reads files, this reads bytes
// already in memory (used by the fuzz target and by tests). Reading the format is the host
// library's work: its room installs a reader here before main.
#pragma once

#include <cstddef>
#include <string>

#include "platform/video/ddraw.h"

// A BMP image in memory as a new surface (16: RGB565; 8: kept palettised), or null.
Surface* LoadBitmapFromMemory(const void* data, size_t size, int bitsPerPixel);
// The same from a host path (any thread).
Surface* LoadBitmapFromPath(const std::string& hostPath, int bitsPerPixel);
// Called last on a thread of ours that read pictures.
void EndBitmapThread();

// The host's reader behind the calls above; null functions read nothing.
struct BitmapReader {
  Surface* (*fromMemory)(const void* data, size_t size, int bitsPerPixel) = nullptr;
  Surface* (*fromPath)(const std::string& hostPath, int bitsPerPixel) = nullptr;
  void (*endThread)() = nullptr;
};
void SetBitmapReader(const BitmapReader& reader);
