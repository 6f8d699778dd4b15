// The small proportional font of "smallfont.bmp": glyphs 32..255 in cells side by side, each
// cell's top row holding the glyph's advance as a line of that many pixels. It writes the
// names on the hall-of-fame screen and the pop preview's points.
#pragma once

#include "platform/video/ddraw.h"

class SmallFont {
 public:
  SmallFont() = default;
  ~SmallFont();
  SmallFont(const SmallFont&) = delete;
  SmallFont& operator=(const SmallFont&) = delete;

  // Loads the picture; false (and nothing drawn later) when it is missing or misshapen.
  bool Load(const char* file);
  bool Loaded() const { return glyphs_ != nullptr; }
  // Width of the text in pixels. Text is UTF-8; a byte that starts no valid sequence is taken
  // as Latin-1, and characters beyond 255 as "?".
  int Measure(const char* text) const;
  // Draws the text with its top-left at x, y; what would pass maxWidth is left out.
  void Draw(Surface* target, const char* text, int x, int y, int maxWidth) const;
  int Height() const { return height_; }

  static constexpr int kCellWidth = 14;
  static constexpr int kFirst = 32, kCount = 224;

 private:
  Surface* glyphs_ = nullptr;
  int advance_[kCount] = {};
  int height_ = 0;
};

// The next character of UTF-8 text at *p (advancing it), as a code point; see Measure.
int NextCharacter(const unsigned char** p);
