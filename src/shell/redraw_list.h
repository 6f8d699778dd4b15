// Incremental repaint: rectangles drawn over on the back surface are restored from the
// background surface when the same display buffer is the back surface again, two presents
// later. One list ("page") per display buffer.
#pragma once

#include "platform/video/ddraw.h"
#include "shell/ptr_array.h"

class DialogScreen;

constexpr int RedrawOneShot = 0x1;           // deleted after its restore
constexpr int RedrawFromBackground = 0x1000; // restored from the background
constexpr int RedrawDefaultFlags = RedrawOneShot | RedrawFromBackground;

struct RedrawRect {
  int x = 0, y = 0, width = 0, height = 0;
  int flags = 0;
  Surface* background = nullptr;  // the list's background when recorded
  Surface* layer = nullptr;
};

class RedrawList {
 public:
  RedrawList();
  ~RedrawList();
  RedrawList(const RedrawList&) = delete;
  RedrawList& operator=(const RedrawList&) = delete;

  // Drops the one-shot rectangles of both pages: they belong to the old scene.
  void SetBackground(Surface* surface);
  void SetLayer(Surface* surface);
  void FlipPage();
  void RestorePage(Surface* target);
  // Wipes the area of the background from the layer, then records it. Like the full-screen
  // adders, it records on both pages: a change of the scene must reach both display buffers.
  void AddArea(int x, int y, int width, int height);
  void AddFullScreen();
  void RefreshFullScreen();
  void AddScreenRect(int left, int top, int right, int bottom, int flagsA, int flagsB);
  void AddDialogArea(DialogScreen* dialog);
  Surface* GetBackSurface();
  Surface* GetBackground() { return background; }
  Surface* GetLayer() { return layer; }
  // Deletes every rectangle of both pages and forgets the surfaces; page 0 again.
  void Reset();

  int page = 0;
  PtrArray<RedrawRect> pages[2];
  Surface* background = nullptr;  // not owned
  Surface* layer = nullptr;       // not owned

 private:
  void Record(int x, int y, int width, int height, int flags);
  void RecordOnBothPages(int x, int y, int width, int height);
};

extern RedrawList TheRedrawList;
