// The board: geometry, cell conversions, the random fill and its drawing.
#include <cstdlib>

#include "board/balloon_sprite.h"
#include "board/board_colours.h"
#include "game/balloon_state.h"
#include "game/catalogue.h"
#include "platform/runtime/game_random.h"
#include "shell/redraw_list.h"
#include "surface/surface_helpers.h"

namespace {

// The board's redraw area; a constant of the screen layout, not of the board fields.
constexpr int BoardAreaX = 154, BoardAreaY = 7, BoardAreaW = 576, BoardAreaH = 560;

// A colour that still has room below the cap, drawn at random until one fits.
int DrawColour(const int* counts, int cap) {
  for (;;) {
    int c = GameRandom() % BalloonColours;
    if (counts[c] < cap) return c;
  }
}

}  // namespace

void BalloonState::FillBoard(int x, int y, int cols, int rowCount) {
  originX = x;
  originY = y;
  columns = cols;
  rows = rowCount;
  if (!board) board = new PtrArray<BalloonSprite>();
  const int n = columns * rows;
  if (n <= 0) return;
  // Every colour may take one more than its fair share; stars go to a colour's Qth, 2Qth
  // and 3Qth balloon.
  const int cap = n / BalloonColours + 1;
  const int q = (n / BalloonColours) / 4;
  int balloons[BalloonColours] = {};
  int stars[BalloonColours] = {};
  Surface* pop = CatalogueSurface("pop");
  for (int i = 0; i < n; ++i) {
    const int c = DrawColour(balloons, cap);
    const int k = ++balloons[c];
    const bool starSlot = q > 0 && (k == q || k == 2 * q || k == 3 * q);
    const bool isStar = starSlot && stars[c] < 3;
    if (isStar) ++stars[c];
    Surface* picture =
        CatalogueSurface(isStar ? ColourPictures[c].star : ColourPictures[c].plain);
    auto* b = new BalloonSprite();
    b->star = isStar ? 1 : 0;
    if (picture) {
      SetSurfaceColorKey(picture, 0, 0, 255);
      b->AddSharedFrame(picture);
    }
    if (pop) b->AddSharedFrame(pop);
    cellWidth = b->width;
    cellHeight = b->height;
    b->colour = c;
    b->cell = i;
    board->Append(b);
    b->x = static_cast<float>((i % columns) * b->width + originX);
    b->y = static_cast<float>((i / columns) * b->height + originY);
    b->present = 1;
  }
}

int BalloonState::CellAt(int x, int y) const {
  if (columns <= 0 || cellWidth <= 0 || cellHeight <= 0) return -1;
  if (x < originX || x >= originX + columns * cellWidth) return -1;
  if (y < originY || y >= originY + rows * cellHeight) return -1;
  const int column = (x - originX) / cellWidth;
  const int row = (y - originY) / cellHeight;
  return row * columns + column;
}

void BalloonState::CellColumnRow(int cell, int* column, int* row) const {
  const int r = columns > 0 ? cell / columns : 0;
  *row = r;
  *column = cell - r * columns;
}

void BalloonState::CellPosition(int cell, int* x, int* y) const {
  int column = 0, row = 0;
  CellColumnRow(cell, &column, &row);
  *x = column * cellWidth + originX;
  *y = row * cellHeight + originY;
}

BalloonSprite* BalloonState::BalloonAt(int cell) const {
  if (!board || cell < 0 || cell >= board->Count()) return nullptr;
  return board->GetAt(cell);
}

void BalloonState::DrawBoard() {
  if (!dirty) return;
  TheRedrawList.AddArea(BoardAreaX, BoardAreaY, BoardAreaW, BoardAreaH);
  Surface* scene = TheRedrawList.GetBackground();
  if (board && scene) {
    for (int i = 0; i < board->Count(); ++i) {
      BalloonSprite* b = board->GetAt(i);
      if (b && b->present) b->DrawTo(scene);
    }
  }
  dirty = 0;
}

int BalloonState::BoardEmpty() {
  if (!board) return 1;
  for (int i = 0; i < board->Count(); ++i)
    if (board->GetAt(i)) return 0;
  return 1;
}
