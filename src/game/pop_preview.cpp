// The preview of the group under the pointer, or under the keyboard's ring. It reads the
// board and draws over the back surface after the round is drawn; every cell it touches is
// given back to the scene on the page's next restore, so it leaves nothing behind and
// changes no rule.
#include <vector>

#include "board/balloon_sprite.h"
#include "game/balloon_module.h"
#include "game/balloon_state.h"
#include "game/points_text.h"
#include "game/small_font.h"
#include "shell/app.h"
#include "shell/redraw_list.h"
#include "sprites/sprite.h"

namespace {

// The outline inside the group's edge cells: a half-dark line that holds on the light sky,
// then a white glow fading inwards that holds on the balloons.
constexpr int kBand = 4;

// Halfway to deep navy, halfway to white, a quarter of the way to white (5-6-5 pixels).
uint16_t HalfDark(uint16_t c) { return static_cast<uint16_t>(((c >> 1) & 0x7BEF) + 0x0884); }
uint16_t Half(uint16_t c) { return static_cast<uint16_t>(((c >> 1) & 0x7BEF) + 0x7BEF); }
uint16_t Quarter(uint16_t c) {
  const uint16_t q = (c >> 2) & 0x39E7;
  return static_cast<uint16_t>(c - q + 0x39E7);
}

struct Pixels {
  uint8_t* memory = nullptr;
  int pitch = 0, width = 0, height = 0;
  void Lighten(int x, int y, int depth) {
    if (x < 0 || y < 0 || x >= width || y >= height) return;
    auto* p = reinterpret_cast<uint16_t*>(memory + y * pitch) + x;
    *p = depth == 0 ? HalfDark(*p) : depth < kBand - 1 ? Half(*p) : Quarter(*p);
  }
};

// The band along the sides of the cell that face away from the group.
void OutlineCell(Pixels& px, int left, int top, int w, int h, const bool open[4]) {
  for (int d = 0; d < kBand; ++d) {
    for (int x = 0; x < w; ++x) {
      if (open[2]) px.Lighten(left + x, top + d, d);
      if (open[3]) px.Lighten(left + x, top + h - 1 - d, d);
    }
    for (int y = 0; y < h; ++y) {
      // Corners are already lit by the rows above and below.
      const bool inRow = (open[2] && y < kBand) || (open[3] && y >= h - kBand);
      if (inRow) continue;
      if (open[0]) px.Lighten(left + d, top + y, d);
      if (open[1]) px.Lighten(left + w - 1 - d, top + y, d);
    }
  }
}

}  // namespace

int GroupPoints(int balloons, int stars) {
  const int base = 100 * balloons * (balloons + 1) / 2;
  return base + base * stars * 2;
}

void BalloonState::DrawPopPreview(int x, int y) {
  previewPoints = 0;
  if (!previewOn || GetState() != Playing || !board) return;
  // While the keyboard plays, its ring is the one cursor: the preview is the ring's group,
  // and the pointer's is not shown.
  const bool ring = cursorShown != 0;
  const int cell = ring ? CellIndex(cursorColumn, cursorRow) : CellAt(x, y);
  if (cell < 0 || !BalloonAt(cell)) return;
  PtrArray<BalloonSprite> group;
  CollectGroup(cell, &group);
  if (group.Count() < minGroup) return;
  std::vector<bool> inGroup(static_cast<size_t>(columns * rows), false);
  int stars = 0;
  for (int i = 0; i < group.Count(); ++i) {
    inGroup[static_cast<size_t>(group.GetAt(i)->cell)] = true;
    stars += group.GetAt(i)->star ? 1 : 0;
  }
  previewPoints = GroupPoints(group.Count(), stars);

  Surface* back = TheRedrawList.GetBackSurface();
  if (!back) return;
  for (int i = 0; i < group.Count(); ++i) {
    const int c = group.GetAt(i)->cell;
    int column = 0, row = 0, left = 0, top = 0;
    CellColumnRow(c, &column, &row);
    CellPosition(c, &left, &top);
    const bool open[4] = {column == 0 || !inGroup[size_t(CellIndex(column - 1, row))],
                          column + 1 == columns || !inGroup[size_t(CellIndex(column + 1, row))],
                          row == 0 || !inGroup[size_t(CellIndex(column, row - 1))],
                          row + 1 == rows || !inGroup[size_t(CellIndex(column, row + 1))]};
    if (!(open[0] || open[1] || open[2] || open[3])) continue;
    // One cell locked at a time: the display sends on only what was locked.
    const Rect area{left, top, left + cellWidth, top + cellHeight};
    SurfaceDesc desc;
    if (back->Lock(&area, &desc, DDLOCK_WAIT, nullptr) != DD_OK) continue;
    Pixels px{static_cast<uint8_t*>(desc.memory), desc.pitch, cellWidth, cellHeight};
    OutlineCell(px, 0, 0, cellWidth, cellHeight, open);
    back->Unlock(&area);
    TheRedrawList.AddScreenRect(area.left, area.top, area.right, area.bottom, RedrawOneShot,
                                RedrawFromBackground);
  }

  if (ring) DrawCursor(back);  // the outline must not pale the ring

  Picture* plate = TheBalloonModule.previewPlate;
  SmallFont* font = TheBalloonModule.smallFont;
  if (!plate || !plate->GetSurface() || !font || !font->Loaded()) return;
  // Beside the pointer (or the ring), kept on the board: to its right, or its left near the
  // right edge; above it, or below it in the top row.
  const int boardRight = originX + columns * cellWidth;
  int left = x + 14, top = y - plate->height - 8;
  if (left + plate->width > boardRight) left = x - 14 - plate->width;
  if (top < originY) top = y + 22;
  if (ring) {
    int cellLeft = 0, cellTop = 0;
    CellPosition(cell, &cellLeft, &cellTop);
    left = cellLeft + cellWidth + 2;
    top = cellTop - plate->height + 6;
    if (left + plate->width > boardRight) left = cellLeft - 2 - plate->width;
    if (top < originY) top = cellTop + cellHeight - 6;
  }
  plate->Draw(back, left, top);
  TheRedrawList.AddScreenRect(left, top, left + plate->width, top + plate->height, RedrawOneShot,
                              RedrawFromBackground);
  char text[24];
  FormatPoints(previewPoints, text, sizeof text);
  font->Draw(back, text, left + (plate->width - font->Measure(text)) / 2,
             top + (plate->height - font->Height()) / 2, plate->width);
}
