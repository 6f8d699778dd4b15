// BMP pictures as surfaces, the pixel-format query and the process-wide display object.
// The host's reader (video/bitmap.h) reads the files; a missing or malformed file gives null.
#include <algorithm>
#include <bit>

#include "platform/files/paths.h"
#include "platform/runtime/run_options.h"
#include "platform/runtime/trace.h"
#include "platform/video/bitmap.h"
#include "platform/win32/display/dalk.h"
#include "platform/win32/display/picture_read_ahead.h"

Surface* DalkLoadBitmap(const char* fileName, int bitsPerPixel) {
  static bool first = true;
  if (first) TraceStep("loading pictures");
  first = false;
  if (!fileName || !*fileName) return nullptr;
  const std::string path = MapPath(fileName);
  if (Surface* ready = TakePictureReadAhead(path, bitsPerPixel)) return ready;
  const double startMs = TraceNowMs();
  Surface* read = LoadBitmapFromPath(path, bitsPerPixel);
  // Until the first picture: what the read-ahead did not spare the game's thread.
  TraceTally("pictures read on the game's thread", TraceNowMs() - startMs);
  return read;
}

void DalkReadAhead(const std::vector<const char*>& fileNames) {
  const PlatformOptions& options = GetPlatformOptions();
  if (options.headless || options.scores) return;  // headless runs must not depend on threads
  std::vector<std::string> paths;
  for (const char* name : fileNames) {
    if (!name || !*name) continue;
    std::string path = MapPath(name);  // as the game's request will find it
    if (std::find(paths.begin(), paths.end(), path) == paths.end()) paths.push_back(std::move(path));
  }
  StartPictureReadAhead(std::move(paths));
}

void DalkGetRGBABits(const PixelFormat* format, int* red, int* green, int* blue, int* alpha) {
  const PixelFormat none{0, 0, 0, 0, 0, true};
  const PixelFormat& f = format ? *format : none;
  if (red) *red = std::popcount(f.redMask);
  if (green) *green = std::popcount(f.greenMask);
  if (blue) *blue = std::popcount(f.blueMask);
  if (alpha) *alpha = std::popcount(f.alphaMask);
}

DirectDraw* DalkGetLPDD() { return TheDirectDraw(); }
