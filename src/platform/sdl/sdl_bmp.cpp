// SDL reads BMP files for the display calls; a missing or malformed file gives null.
#include "platform/sdl/sdl_bmp.h"

#include <SDL.h>

#include <climits>
#include <cstdint>
#include <cstring>
#include <string>

#include "platform/runtime/trace.h"

namespace {

// Copies rowBytes of each row of an SDL surface into ours.
void CopyRows(SDL_Surface* from, Surface* to, int rowBytes) {
  const auto* src = static_cast<const uint8_t*>(from->pixels);
  for (int y = 0; y < from->h; ++y)
    std::memcpy(to->pixels() + static_cast<size_t>(y) * to->pitch(),
                src + static_cast<size_t>(y) * from->pitch, rowBytes);
}

// An 8-bit picture with its palette; other depths are not palettised and give null.
Surface* KeepIndexed(SDL_Surface* raw) {
  const SDL_Palette* colours = raw->format->palette;
  if (raw->format->format != SDL_PIXELFORMAT_INDEX8 || !colours) return nullptr;
  Surface* out = Surface::Create(raw->w, raw->h, 8);
  if (!out) return nullptr;
  if (SDL_LockSurface(raw) != 0) {
    out->Release();
    return nullptr;
  }
  CopyRows(raw, out, raw->w);
  SDL_UnlockSurface(raw);
  const int n = colours->ncolors < 256 ? colours->ncolors : 256;
  for (int i = 0; i < n; ++i) {
    PaletteEntry& e = out->palette()->entries[i];
    e.red = colours->colors[i].r;
    e.green = colours->colors[i].g;
    e.blue = colours->colors[i].b;
    e.flags = 0;
  }
  return out;
}

// The game's own pictures are 24-bit files, and SDL's general converter handles that depth
// one pixel at a time through a second surface the size of the picture, which is then
// copied again: most of start-up went there. This writes the final pixels in one pass. Low
// bits are dropped, as SDL drops them, so every picture stays exactly what it was.
bool IsBgr24(const SDL_PixelFormat* f) {
  return SDL_BYTEORDER == SDL_LIL_ENDIAN && f->BytesPerPixel == 3 && f->Rmask == 0xFF0000 &&
         f->Gmask == 0x00FF00 && f->Bmask == 0x0000FF;
}

Surface* Bgr24ToRGB565(SDL_Surface* raw) {
  Surface* out = Surface::Create(raw->w, raw->h, 16);
  if (!out) return nullptr;
  if (SDL_LockSurface(raw) != 0) {
    out->Release();
    return nullptr;
  }
  const auto* src = static_cast<const uint8_t*>(raw->pixels);
  for (int y = 0; y < raw->h; ++y) {
    const uint8_t* p = src + static_cast<size_t>(y) * raw->pitch;
    uint16_t* row = out->row16(y);
    for (int x = 0; x < raw->w; ++x, p += 3)
      row[x] = static_cast<uint16_t>((p[2] >> 3) << 11 | (p[1] >> 2) << 5 | p[0] >> 3);
  }
  SDL_UnlockSurface(raw);
  return out;
}

Surface* ToRGB565(SDL_Surface* raw) {
  if (IsBgr24(raw->format)) return Bgr24ToRGB565(raw);
  SDL_Surface* converted = SDL_ConvertSurfaceFormat(raw, SDL_PIXELFORMAT_RGB565, 0);
  if (!converted) return nullptr;
  Surface* out = Surface::Create(converted->w, converted->h, 16);
  if (out && SDL_LockSurface(converted) == 0) {
    CopyRows(converted, out, converted->w * 2);
    SDL_UnlockSurface(converted);
  } else if (out) {
    out->Release();
    out = nullptr;
  }
  SDL_FreeSurface(converted);
  return out;
}

// The game's pictures are at most screen-sized; anything far larger is a corrupt header,
// which would otherwise have the reader allocate whatever the header claims.
constexpr int64_t kMaxSide = 16384;
constexpr int64_t kMaxPixels = int64_t{1} << 24;

int32_t Read32(const uint8_t* p) {
  return static_cast<int32_t>(p[0] | p[1] << 8 | p[2] << 16 | uint32_t{p[3]} << 24);
}
int32_t Read16(const uint8_t* p) { return p[0] | p[1] << 8; }

// Checks the file and info headers' size fields before the picture is read.
bool PlausibleHeader(SDL_RWops* rw) {
  uint8_t head[26] = {};
  const Sint64 start = SDL_RWtell(rw);
  const bool read = SDL_RWread(rw, head, sizeof head, 1) == 1;
  if (SDL_RWseek(rw, start, RW_SEEK_SET) != start || !read) return false;
  if (head[0] != 'B' || head[1] != 'M') return false;
  const int32_t infoSize = Read32(head + 14);
  int64_t width, height;
  if (infoSize == 12) {  // the old core header: 16-bit sizes
    width = Read16(head + 18);
    height = Read16(head + 20);
  } else if (infoSize >= 40 && infoSize <= 1024) {
    width = Read32(head + 18);
    height = Read32(head + 22);
    if (height < 0) height = -height;  // top-down rows
  } else {
    return false;
  }
  return width > 0 && height > 0 && width <= kMaxSide && height <= kMaxSide &&
         width * height <= kMaxPixels;
}

// Takes ownership of rw.
Surface* Load(SDL_RWops* rw, int bitsPerPixel) {
  if (!rw) return nullptr;
  if ((bitsPerPixel != 8 && bitsPerPixel != 16) || !PlausibleHeader(rw)) {
    SDL_RWclose(rw);
    return nullptr;
  }
  const double startMs = TraceNowMs();
  SDL_Surface* raw = SDL_LoadBMP_RW(rw, 1);
  if (!raw) return nullptr;
  const double readMs = TraceNowMs();
  Surface* out = bitsPerPixel == 8 ? KeepIndexed(raw) : ToRGB565(raw);
  SDL_FreeSurface(raw);
  if (TraceOn()) {
    TraceTally("pictures read by SDL", readMs - startMs);
    TraceTally("pictures converted", TraceNowMs() - readMs);
  }
  return out;
}

Surface* FromMemory(const void* data, size_t size, int bitsPerPixel) {
  if (!data || size == 0 || size > INT32_MAX) return nullptr;
  return Load(SDL_RWFromConstMem(data, static_cast<int>(size)), bitsPerPixel);
}

Surface* FromPath(const std::string& hostPath, int bitsPerPixel) {
  return Load(SDL_RWFromFile(hostPath.c_str(), "rb"), bitsPerPixel);
}

// SDL keeps per-thread state (its error text) that only its own threads free at their end.
void EndThread() { SDL_TLSCleanup(); }

}  // namespace

BitmapReader SdlBitmapReader() { return BitmapReader{FromMemory, FromPath, EndThread}; }
