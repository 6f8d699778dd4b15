#include "game/points_text.h"

#include <cstdio>
#include <cstring>

void FormatPoints(int points, char* text, size_t size) {
  if (size == 0) return;
  char digits[16];
  std::snprintf(digits, sizeof digits, "%d", points);
  const size_t sign = digits[0] == '-' ? 1 : 0;
  const size_t n = std::strlen(digits);
  size_t out = 0;
  for (size_t i = 0; i < n && out + 1 < size; ++i) {
    text[out++] = digits[i];
    const size_t left = n - 1 - i;  // digits still to come
    if (i >= sign && left > 0 && left % 3 == 0 && out + 1 < size) text[out++] = ',';
  }
  text[out] = '\0';
}
