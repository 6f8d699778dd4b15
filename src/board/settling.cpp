// Settling and blowing rows: balloons float up into the gaps above them, and a row can be
// blown sideways until its balloons stand packed against one end.
#include "board/balloon_sprite.h"
#include "game/balloon_state.h"

namespace {

constexpr int BlowPassMs = 50;
// A settle shows a frame after every this many balloons floated.
constexpr int MovesPerShownFrame = 3;

}  // namespace

int BalloonState::FindFloatTarget(int cell) {
  int column = 0, row = 0;
  CellColumnRow(cell, &column, &row);
  int result = -1;
  for (int r = row - 1; r >= 0; --r) {
    const int above = CellIndex(column, r);
    if (BalloonAt(above)) break;
    result = above;
  }
  return result;
}

void BalloonState::MoveBalloon(BalloonSprite* balloon, int cell) {
  dirty = 1;
  board->SetAt(balloon, cell);
  board->SetAt(nullptr, balloon->cell);
  balloon->cell = cell;
  int x = 0, y = 0;
  CellPosition(cell, &x, &y);
  balloon->x = static_cast<float>(x);
  balloon->y = static_cast<float>(y);
}

int BalloonState::FloatUp(BalloonSprite* balloon) {
  const int target = FindFloatTarget(balloon->cell);
  if (target == -1) return 0;
  if (++moveCounter >= MovesPerShownFrame) {
    ShowFor(1);
    moveCounter = 0;
  }
  MoveBalloon(balloon, target);
  return 1;
}

int BalloonState::SettleBoard() {
  if (!board) return 1;
  // Row 0 cannot rise; cells above are visited first, so one pass settles everything.
  for (int i = columns; i < board->Count(); ++i)
    if (BalloonSprite* b = board->GetAt(i)) FloatUp(b);
  return 1;
}

int BalloonState::RowCanBlowRight(int row) {
  const int start = CellIndex(0, row);
  const int end = start + columns;
  int i = start;
  while (i < end && !BalloonAt(i)) ++i;
  if (i == end) return 0;
  for (; i < end; ++i)
    if (!BalloonAt(i)) return 1;
  return 0;
}

int BalloonState::RowCanBlowLeft(int row) {
  const int start = CellIndex(0, row);
  const int end = start + columns;
  int i = end - 1;
  while (i >= start && !BalloonAt(i)) --i;
  if (i < start) return 0;
  for (; i >= start; --i)
    if (!BalloonAt(i)) return 1;
  return 0;
}

int BalloonState::BlowRowRight(int row) {
  PlaySound("blow");
  if (!board || row < 0 || row >= rows) return 1;
  const int start = CellIndex(0, row);
  const int end = start + columns;
  for (;;) {
    int first = start;
    while (first < end && !BalloonAt(first)) ++first;
    int gap = first;
    while (gap < end && BalloonAt(gap)) ++gap;
    const bool last = first == end || gap == end;
    if (!last) {
      // Shift the block first .. gap-1 one cell right; whatever lands under a gap rises.
      for (int i = gap; i > first; --i) {
        if (BalloonSprite* b = BalloonAt(i - 1)) {
          MoveBalloon(b, i);
          FloatUp(b);
        }
      }
    }
    ShowFor(BlowPassMs);
    if (last) break;
  }
  return 1;
}

int BalloonState::BlowRowLeft(int row) {
  PlaySound("blow");
  if (!board || row < 0 || row >= rows) return 0;
  const int start = CellIndex(0, row);
  const int end = start + columns;
  for (;;) {
    int first = end - 1;
    while (first >= start && !BalloonAt(first)) --first;
    int gap = first;
    while (gap >= start && BalloonAt(gap)) --gap;
    const bool last = first < start || gap < start;
    if (!last) {
      for (int i = gap; i < first; ++i) {
        if (BalloonSprite* b = BalloonAt(i + 1)) {
          MoveBalloon(b, i);
          FloatUp(b);
        }
      }
    }
    ShowFor(BlowPassMs);
    if (last) break;
  }
  return 0;
}

int BalloonState::GroupExists() {
  if (!board) return 0;
  for (int i = 0; i < board->Count(); ++i) {
    if (!board->GetAt(i)) continue;
    PtrArray<BalloonSprite> group;
    CollectGroup(i, &group);
    if (group.Count() >= minGroup) return 1;
  }
  return 0;
}

int BalloonState::NoMovesLeft() {
  // Only the top eight rows count for blows, each in the direction its right click blows.
  for (int row = 0; row < 8 && row < rows; ++row) {
    const int canBlow = row % 2 == 0 ? RowCanBlowLeft(row) : RowCanBlowRight(row);
    if (canBlow) return 0;
  }
  return GroupExists() ? 0 : 1;
}
