// The built-in 8x8 text font.
#pragma once

constexpr int kGlyphSize = 8;

// Eight rows of the character's glyph (bit 7 leftmost); '?' for characters it lacks.
const unsigned char* FontGlyph(unsigned char c);
