// Points as the player reads them everywhere: digits grouped in threes, "1,234,500".
#pragma once

#include <cstddef>

// Writes points into text (at most size bytes, always terminated).
void FormatPoints(int points, char* text, size_t size);
