// The board's rules written plainly, for tests to check the game against: groups, points and
// which rows a blow can move. colourAt(cell) is -1 for an empty cell.
#pragma once

#include <set>
#include <vector>

namespace rules {

// The cells of the same-coloured group at a cell (four sides, no diagonals).
template <class ColourAt>
std::set<int> Group(int columns, int rows, int cell, ColourAt colourAt) {
  std::set<int> group;
  const int colour = colourAt(cell);
  std::vector<int> todo{cell};
  while (!todo.empty()) {
    const int i = todo.back();
    todo.pop_back();
    if (colourAt(i) != colour || !group.insert(i).second) continue;
    const int column = i % columns, row = i / columns;
    if (column > 0) todo.push_back(i - 1);
    if (column + 1 < columns) todo.push_back(i + 1);
    if (row > 0) todo.push_back(i - columns);
    if (row + 1 < rows) todo.push_back(i + columns);
  }
  return group;
}

// A group of n balloons pays 100, 200, ... for each, and three times, five times... that
// with one, two... stars in it.
inline long Points(long n, long stars) { return 100 * n * (n + 1) / 2 * (1 + 2 * stars); }

// True when a blow along the row (to the right, or the left) would move a balloon: a gap
// lies past a balloon in that direction.
template <class ColourAt>
bool RowCanBlow(int columns, int row, bool right, ColourAt colourAt) {
  bool seen = false;
  for (int k = 0; k < columns; ++k) {
    const int column = right ? k : columns - 1 - k;
    if (colourAt(row * columns + column) >= 0)
      seen = true;
    else if (seen)
      return true;
  }
  return false;
}

}  // namespace rules
