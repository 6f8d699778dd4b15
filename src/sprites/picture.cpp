// Picture: a named surface loaded from a BMP file.
#include <cstring>

#include "platform/win32/display/dalk.h"
#include "sprites/sprite.h"
#include "surface/surface_helpers.h"

Picture::Picture(const char* file) { Load(file); }

Picture::~Picture() { Release(); }

Surface* Picture::Load(const char* file) {
  if (!file) {
    Release();
    name[0] = '\0';
    return nullptr;
  }
  Surface* loaded = DalkLoadBitmap(file, 16);
  if (!loaded) return nullptr;
  Release();  // a second load replaces the first picture instead of leaking it
  surface = loaded;
  SetSurfaceColorKey(surface, 0, 0, 255);
  SetName(file);
  GetSurfaceSize(surface, &width, &height);
  return surface;
}

void Picture::SetName(const char* text) {
  std::strncpy(name, text ? text : "", sizeof(name) - 1);
  name[sizeof(name) - 1] = '\0';
}

void Picture::SetColorKey(int red, int green, int blue) {
  if (surface) SetSurfaceColorKey(surface, red, green, blue);
}

void Picture::Release() {
  if (surface) surface->Release();
  surface = nullptr;
}

void Picture::Draw(Surface* destination, int atX, int atY) {
  if (surface && destination) ClippedBlt(surface, destination, atX, atY, -1);
}
