#include "game/small_font.h"

#include "platform/win32/display/dalk.h"
#include "surface/surface_helpers.h"

int NextCharacter(const unsigned char** p) {
  const unsigned char* s = *p;
  const unsigned char c = s[0];
  const int length = c >= 0xF5 ? 1 : c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 ? 2 : 1;
  if (c < 0x80 || length == 1) {
    *p = s + 1;
    return c;
  }
  int cp = c & (0x7F >> length);
  for (int i = 1; i < length; ++i) {
    if ((s[i] & 0xC0) != 0x80) {  // not a sequence after all: the byte stands for itself
      *p = s + 1;
      return c;
    }
    cp = (cp << 6) | (s[i] & 0x3F);
  }
  *p = s + length;
  return cp;
}

namespace {

int GlyphIndex(int cp) {
  if (cp < SmallFont::kFirst || cp >= SmallFont::kFirst + SmallFont::kCount) cp = '?';
  return cp - SmallFont::kFirst;
}

}  // namespace

SmallFont::~SmallFont() {
  if (glyphs_) glyphs_->Release();
}

bool SmallFont::Load(const char* file) {
  Surface* picture = DalkLoadBitmap(file, 16);
  if (!picture) return false;
  int w = 0, h = 0;
  GetSurfaceSize(picture, &w, &h);
  SurfaceDesc desc;
  if (w != kCellWidth * kCount || h < 2 || picture->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr) != DD_OK) {
    picture->Release();
    return false;
  }
  const uint16_t key = static_cast<uint16_t>(MakeSurfaceColor(picture, 0, 0, 255));
  const auto* top = static_cast<const uint16_t*>(desc.memory);
  for (int i = 0; i < kCount; ++i) {
    int advance = 0;
    while (advance < kCellWidth && top[i * kCellWidth + advance] != key) ++advance;
    advance_[i] = advance;
  }
  picture->Unlock(nullptr);
  SetSurfaceColorKey(picture, 0, 0, 255);
  glyphs_ = picture;
  height_ = h - 1;
  return true;
}

int SmallFont::Measure(const char* text) const {
  int width = 0;
  for (auto* p = reinterpret_cast<const unsigned char*>(text); *p;)
    width += advance_[GlyphIndex(NextCharacter(&p))];
  return width;
}

void SmallFont::Draw(Surface* target, const char* text, int x, int y, int maxWidth) const {
  if (!glyphs_ || !target) return;
  int used = 0;
  for (auto* p = reinterpret_cast<const unsigned char*>(text); *p;) {
    const int i = GlyphIndex(NextCharacter(&p));
    if (used + advance_[i] > maxWidth) return;
    const Rect from{i * kCellWidth, 1, i * kCellWidth + kCellWidth, 1 + height_};
    const Rect to{x + used, y, x + used + kCellWidth, y + height_};
    // A cell wider than its advance carries only key pixels past it.
    target->Blt(&to, glyphs_, &from, DDBLT_KEYSRC | DDBLT_WAIT, nullptr);
    used += advance_[i];
  }
}
