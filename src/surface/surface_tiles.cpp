// Cutting pictures into tiles and turning palettised pictures into display surfaces.
#include "platform/win32/display/dalk.h"
#include "surface/color_value.h"
#include "surface/surface_helpers.h"

namespace {

// Appends the tiles of source to list, row by row; 0 when a tile cannot be made.
int CutTiles(Surface* source, FrameList* list, int tileWidth, int tileHeight, int* columns) {
  if (!source || !list || tileWidth < 1 || tileHeight < 1) return 0;
  int sw = 0, sh = 0;
  GetSurfaceSize(source, &sw, &sh);
  const int across = sw / tileWidth, down = sh / tileHeight;
  if (columns) *columns = across;
  const int count = across * down;  // leftover pixels at the right and bottom are dropped
  for (int i = 0; i < count; ++i) {
    Surface* tile = CreateOffscreenSurface(tileWidth, tileHeight);
    if (!tile) return 0;
    SetSurfaceColorKey(tile, 0, 0, 255);
    list->Append(tile);
    const int row = i / across, column = i - row * across;
    const Rect from{column * tileWidth, row * tileHeight, column * tileWidth + tileWidth,
                    row * tileHeight + tileHeight};
    tile->Blt(nullptr, source, &from, DDBLT_WAIT, nullptr);
  }
  return 1;
}

}  // namespace

int SplitSurface(Surface* source, FrameList* list, int tileWidth, int tileHeight, int* columns) {
  return CutTiles(source, list, tileWidth, tileHeight, columns);
}

int LoadTiledBitmap(const char* fileName, FrameList* list, int tileWidth, int tileHeight,
                    int* columns) {
  Surface* source = DalkLoadBitmap(fileName, 16);
  if (!source) return 0;
  const int result = CutTiles(source, list, tileWidth, tileHeight, columns);
  source->Release();  // the tiles hold copies, whether or not all could be made
  return result;
}

Surface* LoadPaletteBitmap(const char* fileName) {
  Surface* source = DalkLoadBitmap(fileName, 8);
  if (!source) return nullptr;
  Surface* result = ConvertPaletteSurface(source);
  source->Release();
  return result;
}

// Palette index 0 becomes 0, the transparent value; any other colour that would come out
// as 0 becomes 1, so only index 0 is see-through.
Surface* ConvertPaletteSurface(Surface* source) {
  if (!source) return nullptr;
  Palette* palette = nullptr;
  if (source->GetPalette(&palette) != DD_OK || !palette) return nullptr;
  PaletteEntry entries[256];
  const HRESULT got = palette->GetEntries(0, 0, 256, entries);
  palette->Release();
  if (got != DD_OK) return nullptr;

  SurfaceDesc from{};
  from.flags = DDSD_PIXELFORMAT | DDSD_WIDTH | DDSD_HEIGHT;
  source->GetSurfaceDesc(&from);
  if (from.pixelFormat.bitsPerPixel != 8) return nullptr;
  Surface* result = CreateOffscreenSurface(from.width, from.height);
  if (!result) return nullptr;

  SurfaceDesc to{};
  const auto* in = static_cast<const uint8_t*>(LockSurface(source, &from));
  auto* out = static_cast<uint8_t*>(LockSurface(result, &to));
  if (in && out) {
    surface_detail::FieldWidths w;
    DalkGetRGBABits(&to.pixelFormat, &w.red, &w.green, &w.blue, nullptr);
    uint16_t colours[256];
    for (int i = 0; i < 256; ++i) {
      const uint16_t v = surface_detail::ColorValue(w, entries[i].red, entries[i].green,
                                                    entries[i].blue);
      colours[i] = i == 0 ? 0 : v == 0 ? 1 : v;
    }
    for (int y = 0; y < from.height; ++y) {
      const uint8_t* s = in + static_cast<size_t>(from.pitch) * y;
      auto* d = reinterpret_cast<uint16_t*>(out + static_cast<size_t>(to.pitch / 2) * 2 * y);
      for (int x = 0; x < from.width; ++x) d[x] = colours[s[x]];
    }
  }
  if (in) UnlockSurface(source);
  if (out) UnlockSurface(result);
  if (!in || !out) {
    result->Release();
    return nullptr;
  }
  const ColorKey key{0, 0};
  result->SetColorKey(DDCKEY_SRCBLT, &key);
  return result;
}
