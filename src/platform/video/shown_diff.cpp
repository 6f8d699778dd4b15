#include "platform/video/shown_diff.h"

#include <cstring>

namespace {

// The tight box of the pixels inside `area` where the two pictures differ; empty if none.
Rect DifferingBox(const Surface& picture, const ShownPicture& shown, const Rect& area) {
  Rect box{area.right, area.bottom, area.left, area.top};
  const size_t width = static_cast<size_t>(area.right - area.left);
  for (int y = area.top; y < area.bottom; ++y) {
    const uint16_t* now = picture.row16(y) + area.left;
    const uint16_t* was = &shown.pixels[static_cast<size_t>(y) * shown.width + area.left];
    if (std::memcmp(now, was, width * 2) == 0) continue;
    int first = 0, last = static_cast<int>(width) - 1;
    while (now[first] == was[first]) ++first;
    while (now[last] == was[last]) --last;
    box.left = std::min(box.left, area.left + first);
    box.right = std::max(box.right, area.left + last + 1);
    box.top = std::min(box.top, y);
    box.bottom = y + 1;
  }
  return box;
}

void CopyBox(const Surface& picture, const Rect& box, ShownPicture* shown) {
  const size_t bytes = static_cast<size_t>(box.right - box.left) * 2;
  for (int y = box.top; y < box.bottom; ++y) {
    std::memcpy(&shown->pixels[static_cast<size_t>(y) * shown->width + box.left],
                picture.row16(y) + box.left, bytes);
  }
}

}  // namespace

std::vector<Rect> UpdateShownPicture(const Surface& picture, const std::vector<Rect>& drawn,
                                     ShownPicture* shown) {
  const Rect whole{0, 0, picture.width(), picture.height()};
  if (shown->width != picture.width() || shown->height != picture.height()) {
    shown->width = picture.width();
    shown->height = picture.height();
    shown->pixels.assign(static_cast<size_t>(shown->width) * shown->height, 0);
    CopyBox(picture, whole, shown);
    return {whole};
  }
  std::vector<Rect> changed;
  for (const Rect& area : drawn) {
    // Overlapping areas are fine: the second finds the first's pixels already copied.
    Rect box = DifferingBox(picture, *shown, area);
    if (box.left >= box.right) continue;
    CopyBox(picture, box, shown);
    changed.push_back(box);
  }
  return changed;
}
