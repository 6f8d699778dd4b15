// The redraw list: one page of rectangles per display buffer, restored from the background.
#include "shell/redraw_list.h"

#include "shell/app.h"
#include "shell/dialog_screen.h"
#include "surface/surface_helpers.h"

RedrawList TheRedrawList;

namespace {

// Copies an area to the same place on another surface; nothing when either is missing.
void CopyArea(Surface* source, Surface* destination, int x, int y, int width, int height) {
  if (!source || !destination) return;
  ClippedBltRect(source, x, y, width, height, destination, x, y, -1);
}

void DeleteOneShots(PtrArray<RedrawRect>& page) {
  int i = 0;
  while (i < page.Count()) {
    RedrawRect* rect = page.GetAt(i);
    if (rect->flags & RedrawOneShot) {
      page.Remove(rect);
      delete rect;
    } else {
      ++i;
    }
  }
}

}  // namespace

RedrawList::RedrawList() = default;

RedrawList::~RedrawList() {
  pages[0].DeleteAll();
  pages[1].DeleteAll();
}

void RedrawList::Reset() {
  pages[0].DeleteAll();
  pages[1].DeleteAll();
  page = 0;
  background = nullptr;
  layer = nullptr;
}

void RedrawList::SetBackground(Surface* surface) {
  DeleteOneShots(pages[0]);
  DeleteOneShots(pages[1]);
  background = surface;
}

void RedrawList::SetLayer(Surface* surface) { layer = surface; }

void RedrawList::FlipPage() { page = 1 - page; }

void RedrawList::RestorePage(Surface* target) {
  PtrArray<RedrawRect>& list = pages[page];
  int i = 0;
  while (i < list.Count()) {
    RedrawRect* rect = list.GetAt(i);
    if ((rect->flags & RedrawFromBackground) && rect->background == background)
      CopyArea(background, target, rect->x, rect->y, rect->width, rect->height);
    if (rect->flags & RedrawOneShot) {
      list.Remove(rect);
      delete rect;
    } else {
      ++i;
    }
  }
}

void RedrawList::Record(int x, int y, int width, int height, int flags) {
  // The same area recorded twice on a page (the score panel each frame lands on both pages)
  // would only be restored twice.
  PtrArray<RedrawRect>& list = pages[page];
  for (int i = 0; i < list.Count(); ++i) {
    const RedrawRect* r = list.GetAt(i);
    if (r->x == x && r->y == y && r->width == width && r->height == height &&
        r->flags == flags && r->background == background && r->layer == layer)
      return;
  }
  auto* rect = new RedrawRect;
  rect->x = x;
  rect->y = y;
  rect->width = width;
  rect->height = height;
  rect->flags = flags;
  rect->background = background;
  rect->layer = layer;
  list.Append(rect);
}

// A sprite's rectangle is restored in the buffer it was drawn into, two presents later. A
// change to the scene itself is different: the buffer shown now and the one shown next both
// hold the old scene, so recording it on one page only would leave every other frame stale.
void RedrawList::RecordOnBothPages(int x, int y, int width, int height) {
  Record(x, y, width, height, RedrawDefaultFlags);
  FlipPage();
  Record(x, y, width, height, RedrawDefaultFlags);
  FlipPage();
}

void RedrawList::AddArea(int x, int y, int width, int height) {
  if (layer && background) CopyArea(layer, background, x, y, width, height);
  RecordOnBothPages(x, y, width, height);
}

void RedrawList::AddFullScreen() {
  int width = 0, height = 0;
  if (background) GetSurfaceSize(background, &width, &height);
  RecordOnBothPages(0, 0, width, height);
}

void RedrawList::RefreshFullScreen() {
  if (layer && background) ClippedBlt(layer, background, 0, 0, -1);
  AddFullScreen();
}

void RedrawList::AddScreenRect(int left, int top, int right, int bottom, int flagsA,
                               int flagsB) {
  Record(left, top, right - left, bottom - top, flagsA | flagsB);
}

void RedrawList::AddDialogArea(DialogScreen* dialog) {
  if (!dialog) return;
  AddArea(dialog->left, dialog->top, dialog->right - dialog->left,
          dialog->bottom - dialog->top);
}

Surface* RedrawList::GetBackSurface() { return BackSurface; }
