#include "platform/video/bitmap.h"

namespace {

// Installed before main, read by any thread afterwards.
BitmapReader reader;

}  // namespace

void SetBitmapReader(const BitmapReader& installed) { reader = installed; }

Surface* LoadBitmapFromMemory(const void* data, size_t size, int bitsPerPixel) {
  return reader.fromMemory ? reader.fromMemory(data, size, bitsPerPixel) : nullptr;
}

Surface* LoadBitmapFromPath(const std::string& hostPath, int bitsPerPixel) {
  return reader.fromPath ? reader.fromPath(hostPath, bitsPerPixel) : nullptr;
}

void EndBitmapThread() {
  if (reader.endThread) reader.endThread();
}
