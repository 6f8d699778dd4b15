#include "platform/video/present_mailbox.h"

#include <algorithm>
#include <cstring>

namespace {

// Past this many areas waiting, they are kept as one box around them all: the taker is
// then behind by several pictures, and copying a few more pixels is cheaper than the list.
constexpr size_t kMaxAreas = 32;

Rect Clip(const Rect& r, int width, int height) {
  Rect c{std::max(r.left, 0), std::max(r.top, 0), std::min(r.right, width),
         std::min(r.bottom, height)};
  if (c.right <= c.left || c.bottom <= c.top) return Rect{};
  return c;
}

bool IsEmpty(const Rect& r) { return r.right <= r.left || r.bottom <= r.top; }

void CopyArea(const uint16_t* from, uint16_t* to, int width, const Rect& r) {
  const size_t count = static_cast<size_t>(r.right - r.left) * sizeof(uint16_t);
  for (int y = r.top; y < r.bottom; ++y) {
    const size_t at = static_cast<size_t>(y) * width + r.left;
    std::memcpy(to + at, from + at, count);
  }
}

}  // namespace

PresentMailbox::PresentMailbox(int width, int height)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      latest_(static_cast<size_t>(width_) * height_, 0) {}

void PresentMailbox::Note(const Rect& area) {
  changed_.push_back(area);
  if (changed_.size() <= kMaxAreas) return;
  Rect all = changed_.front();
  for (const Rect& r : changed_) {
    all.left = std::min(all.left, r.left);
    all.top = std::min(all.top, r.top);
    all.right = std::max(all.right, r.right);
    all.bottom = std::max(all.bottom, r.bottom);
  }
  changed_.assign(1, all);
}

void PresentMailbox::Post(const Surface& picture, const std::vector<Rect>& changed) {
  if (picture.width() != width_ || picture.height() != height_ || picture.bitsPerPixel() != 16)
    return;
  bool any = false;
  {
    std::lock_guard<std::mutex> guard(lock_);
    for (const Rect& area : changed) {
      const Rect r = Clip(area, width_, height_);
      if (IsEmpty(r)) continue;
      const size_t count = static_cast<size_t>(r.right - r.left) * sizeof(uint16_t);
      for (int y = r.top; y < r.bottom; ++y)
        std::memcpy(&latest_[static_cast<size_t>(y) * width_ + r.left], picture.row16(y) + r.left,
                    count);
      Note(r);
      any = true;
    }
  }
  if (any) ready_.notify_one();
}

void PresentMailbox::RequestRepaint(int outputWidth, int outputHeight) {
  {
    std::lock_guard<std::mutex> guard(lock_);
    repaint_ = true;
    outputWidth_ = outputWidth;
    outputHeight_ = outputHeight;
  }
  ready_.notify_one();
}

void PresentMailbox::Close() {
  {
    std::lock_guard<std::mutex> guard(lock_);
    closed_ = true;
  }
  ready_.notify_one();
}

bool PresentMailbox::Take(std::vector<uint16_t>* picture, Delivery* delivery) {
  std::unique_lock<std::mutex> guard(lock_);
  ready_.wait(guard, [&] { return closed_ || repaint_ || !changed_.empty(); });
  if (changed_.empty() && !repaint_) return false;  // closed, and all was handed out
  picture->resize(latest_.size());
  for (const Rect& r : changed_) CopyArea(latest_.data(), picture->data(), width_, r);
  delivery->changed.swap(changed_);
  changed_.clear();
  delivery->repaint = repaint_;
  repaint_ = false;
  delivery->outputWidth = outputWidth_;
  delivery->outputHeight = outputHeight_;
  return true;
}
