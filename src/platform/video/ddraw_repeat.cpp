// Surfaces hold back drawing that repeats what made their present pixels. The game redraws
// its whole scene every frame (each cloud restored from the background and drawn again, the
// buttons, the clock, the score panel) although in a quiet moment not one pixel changes; on
// a laptop those copies are most of what an idle window costs.
//
// Why dropping a repeat is safe: every pixel a blit or fill writes takes its value from the
// source (or the fill colour) alone, never from what was there, so the last write to a pixel
// decides it. Take one "component" of drawing: the pieces of this frame and of the frame that
// made the present pixels whose rectangles touch one another, directly or through others.
// Nothing outside a component writes inside its area. When this frame's pieces in it are,
// one for one and in order, those of that frame (same source pixels, rectangles, flags),
// every pixel there would get the value it already has, and the whole component is dropped.
// Otherwise it is carried out, in order, on the pixels as they are.
//
// Held-back drawing is settled (dropped or carried out) before anything could tell: a read
// of the area (a blit from it, a lock, a present), a write to a source it reads, a piece of
// drawing that repeats nothing, and at the latest when the frame ends. Writes through a
// pointer never count as repeats. Only the main thread draws on surfaces that keep a
// history; other threads only fill fresh pictures, which bump a version and nothing else.
#include <algorithm>
#include <atomic>
#include <vector>

#include "platform/video/ddraw.h"

namespace {

std::atomic<uint64_t> lastVersion{0};

// Past this many pieces of drawing in one frame a surface forgets its history: comparing
// would cost more than it could save.
constexpr size_t kMaxFrameOps = 1024;
// A component searched for from one area stops growing one by one past this many entries.
constexpr size_t kMaxGrown = 24;

// The surfaces drawn on since the last EndFrames. Never freed: surfaces may outlive static
// destruction.
std::vector<Surface*>& DrawnOn() {
  static auto* list = new std::vector<Surface*>();
  return *list;
}

bool Overlap(const Rect& a, const Rect& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

}  // namespace

void Surface::Changed() { version_ = lastVersion.fetch_add(1, std::memory_order_relaxed) + 1; }

void Surface::Enlist() {
  if (enlisted_) return;
  enlisted_ = true;
  DrawnOn().push_back(this);
}

void Surface::Append(const DrawOp& op, OpState state) {
  if (frame_.size() >= kMaxFrameOps) {
    // Carried out in order, all of it is as it must be, without looking for repeats.
    for (FrameOp& e : frame_) {
      if (e.state == OpState::Held) Execute(e);
    }
    made_.clear();
    frame_.clear();
    // Stands for all that was drawn: nothing repeats it.
    DrawOp all;
    all.kind = DrawOp::Kind::Direct;
    all.to = Rect{0, 0, width_, height_};
    frame_.push_back({all, OpState::Drawn});
  }
  frame_.push_back({op, state});
  Enlist();
}

void Surface::Record(const DrawOp& given) {
  DrawOp op = given;
  Surface* src = op.source;
  // It reads the source as it must look by now.
  if (src && src != this) src->Resolve(&op.from);
  if (src) op.sourceVersion = src->version_;
  // A blit that reads what it writes, or a surface someone writes through a pointer, is
  // never known to repeat: it is carried out at once.
  if (src == this || locks_ != 0 || (src && src->locks_ != 0)) {
    Resolve(src == this ? nullptr : &op.to);
    ResolveReaders(op.to);
    Draw(op);
    Changed();
    op.kind = DrawOp::Kind::Direct;
    Append(op, OpState::Drawn);
    return;
  }
  // Drawing that repeats nothing is held back too, to be carried out with its component
  // (it never compares equal): settling each piece as it comes would search the frame
  // again for every one.
  Append(op, OpState::Held);
  ++held_;
  if (src) ++src->readers_;
}

void Surface::WrittenDirectly(const Rect& area) {
  // A fresh picture being filled in (perhaps on a loading thread) has nothing to keep in step.
  if (made_.empty() && frame_.empty() && readers_ == 0) {
    Changed();
    return;
  }
  Resolve(&area);
  ResolveReaders(area);
  Changed();
  DrawOp op;
  op.kind = DrawOp::Kind::Direct;
  op.to = area;
  Append(op, OpState::Drawn);
}

std::vector<Rect> Surface::EntryRects() const {
  std::vector<Rect> rects;
  rects.reserve(frame_.size() + made_.size());
  for (const FrameOp& e : frame_) rects.push_back(e.op.to);
  for (const DrawOp& op : made_) rects.push_back(op.to);
  return rects;
}

bool Surface::ComponentOf(int seed, const Rect* area, std::vector<int>* found) const {
  const std::vector<Rect> rects = EntryRects();
  const int total = static_cast<int>(rects.size());
  std::vector<uint8_t> seen(rects.size(), 0);
  std::vector<int>& members = *found;
  if (seed >= 0) {
    seen[static_cast<size_t>(seed)] = 1;
    members.push_back(seed);
  } else {
    for (int i = 0; i < total; ++i) {
      if (Overlap(rects[static_cast<size_t>(i)], *area)) {
        seen[static_cast<size_t>(i)] = 1;
        members.push_back(i);
      }
    }
  }
  for (size_t next = 0; next < members.size(); ++next) {
    // Grown one by one, a large component costs a pass over everything for each member.
    if (members.size() > kMaxGrown) return false;
    const Rect r = rects[static_cast<size_t>(members[next])];
    for (int i = 0; i < total; ++i) {
      if (!seen[static_cast<size_t>(i)] && Overlap(rects[static_cast<size_t>(i)], r)) {
        seen[static_cast<size_t>(i)] = 1;
        members.push_back(i);
      }
    }
  }
  std::sort(members.begin(), members.end());
  return true;
}

Surface::Components Surface::AllComponents() const {
  const std::vector<Rect> rects = EntryRects();
  const int total = static_cast<int>(rects.size());
  std::vector<int> order(rects.size()), parent(rects.size());
  for (int i = 0; i < total; ++i) order[static_cast<size_t>(i)] = parent[static_cast<size_t>(i)] = i;
  auto find = [&parent](int i) {
    while (parent[static_cast<size_t>(i)] != i) {
      parent[static_cast<size_t>(i)] = parent[static_cast<size_t>(parent[static_cast<size_t>(i)])];
      i = parent[static_cast<size_t>(i)];
    }
    return i;
  };
  // Swept in order of their tops, a rectangle is compared only with those that start above
  // its bottom edge: the game's drawing lies in rows, so few pairs are looked at.
  std::sort(order.begin(), order.end(), [&rects](int a, int b) {
    return rects[static_cast<size_t>(a)].top < rects[static_cast<size_t>(b)].top;
  });
  for (size_t k = 0; k < order.size(); ++k) {
    const Rect& a = rects[static_cast<size_t>(order[k])];
    for (size_t l = k + 1; l < order.size(); ++l) {
      const Rect& b = rects[static_cast<size_t>(order[l])];
      if (b.top >= a.bottom) break;
      if (b.left < a.right && a.left < b.right) {
        const int ra = find(order[k]), rb = find(order[l]);
        if (ra != rb) parent[static_cast<size_t>(std::max(ra, rb))] = std::min(ra, rb);
      }
    }
  }
  // Members of each component in the order they were drawn, components one after another.
  Components out;
  std::vector<int> count(rects.size(), 0), slot(rects.size(), -1);
  for (int i = 0; i < total; ++i) ++count[static_cast<size_t>(find(i))];
  for (int i = 0; i < total; ++i) {
    if (find(i) != i) continue;
    slot[static_cast<size_t>(i)] = static_cast<int>(out.starts.size());
    out.starts.push_back(0);
  }
  int at = 0;
  for (int i = 0; i < total; ++i) {
    if (find(i) != i) continue;
    out.starts[static_cast<size_t>(slot[static_cast<size_t>(i)])] = at;
    at += count[static_cast<size_t>(i)];
  }
  out.starts.push_back(at);
  out.members.resize(rects.size());
  std::vector<int> filled(out.starts.begin(), out.starts.end() - 1);
  for (int i = 0; i < total; ++i) {
    const int c = slot[static_cast<size_t>(find(i))];
    out.members[static_cast<size_t>(filled[static_cast<size_t>(c)]++)] = i;
  }
  return out;
}

void Surface::ResolveComponent(const int* members, size_t count) {
  // Members come in order: this frame's entries first, then the last frame's.
  const int n = static_cast<int>(frame_.size());
  const size_t now = static_cast<size_t>(std::lower_bound(members, members + count, n) - members);
  bool same = now * 2 == count;
  bool holds = false;
  for (size_t k = 0; k < now; ++k) {
    const FrameOp& e = frame_[static_cast<size_t>(members[k])];
    holds = holds || e.state == OpState::Held;
    if (e.state == OpState::Drawn || e.state == OpState::Drawing) same = false;
    if (same && !e.op.Repeats(made_[static_cast<size_t>(members[now + k] - n)])) same = false;
  }
  if (!holds) return;
  if (same) {
    for (size_t k = 0; k < now; ++k) {
      FrameOp& e = frame_[static_cast<size_t>(members[k])];
      if (e.state != OpState::Held) continue;
      e.state = OpState::Settled;
      --held_;
      if (e.op.source) --e.op.source->readers_;
    }
    return;
  }
  // In order: carrying one out may settle others of this component first (through the
  // surfaces that read this one), so each is looked at afresh.
  for (size_t k = 0; k < now; ++k) {
    FrameOp& e = frame_[static_cast<size_t>(members[k])];
    if (e.state == OpState::Held) Execute(e);
  }
}

void Surface::Execute(FrameOp& entry) {
  entry.state = OpState::Drawing;
  --held_;
  if (entry.op.source) --entry.op.source->readers_;
  ResolveReaders(entry.op.to);
  Draw(entry.op);
  Changed();
  entry.state = OpState::Drawn;
}

// The components that hold an entry `touches` picks out (all of them for everything).
template <typename Picks>
void Surface::ResolveAll(Picks touches) {
  const Components all = AllComponents();
  for (size_t c = 0; c + 1 < all.starts.size() && held_ > 0; ++c) {
    const int* first = all.members.data() + all.starts[c];
    const size_t count = static_cast<size_t>(all.starts[c + 1] - all.starts[c]);
    if (std::any_of(first, first + count, touches)) ResolveComponent(first, count);
  }
}

void Surface::Resolve(const Rect* area) {
  if (held_ == 0) return;
  const size_t n = frame_.size();
  // Most often the frame so far repeats the last one whole, one for one.
  if (n == made_.size() && static_cast<size_t>(held_) == n) {
    bool all = true;
    for (size_t i = 0; i < n && all; ++i) all = frame_[i].op.Repeats(made_[i]);
    if (all) {
      for (FrameOp& e : frame_) {
        e.state = OpState::Settled;
        if (e.op.source) --e.op.source->readers_;
      }
      held_ = 0;
      return;
    }
  }
  std::vector<int> members;
  if (area && ComponentOf(-1, area, &members)) {
    ResolveComponent(members.data(), members.size());
    return;
  }
  ResolveAll([area, n, this](int i) {
    const auto k = static_cast<size_t>(i);
    return !area || Overlap(k < n ? frame_[k].op.to : made_[k - n].to, *area);
  });
}

void Surface::ResolveOp(size_t index) {
  if (index >= frame_.size() || frame_[index].state != OpState::Held) return;
  std::vector<int> members;
  if (ComponentOf(static_cast<int>(index), nullptr, &members)) {
    ResolveComponent(members.data(), members.size());
    return;
  }
  ResolveAll([index](int i) { return static_cast<size_t>(i) == index; });
}

void Surface::ResolveReaders(const Rect& area) {
  if (readers_ == 0) return;
  std::vector<Surface*>& list = DrawnOn();
  for (size_t s = 0; s < list.size() && readers_ > 0; ++s) {
    Surface* drawn = list[s];
    for (size_t i = 0; i < drawn->frame_.size() && readers_ > 0; ++i) {
      const FrameOp& e = drawn->frame_[i];
      if (e.state == OpState::Held && e.op.source == this && Overlap(e.op.from, area))
        drawn->ResolveOp(i);
    }
  }
}

void Surface::EndFrames() {
  std::vector<Surface*>& list = DrawnOn();
  // Settling one surface may carry out drawing on others, which must still be listed.
  for (size_t i = 0; i < list.size(); ++i) list[i]->Resolve(nullptr);
  for (Surface* surface : list) {
    if (!surface->frame_.empty()) {
      surface->made_.clear();
      for (const FrameOp& e : surface->frame_) surface->made_.push_back(e.op);
      surface->frame_.clear();
    }
    surface->enlisted_ = false;
  }
  list.clear();
}

void Surface::Forget() {
  ResolveReaders(Rect{0, 0, width_, height_});
  for (const FrameOp& e : frame_) {
    if (e.state == OpState::Held && e.op.source) --e.op.source->readers_;
  }
  if (enlisted_) std::erase(DrawnOn(), this);
}

void Surface::SwapContents(Surface& other) {
  if (&other == this || other.width_ != width_ || other.height_ != height_ ||
      other.bpp_ != bpp_ || other.pitch_ != pitch_)
    return;
  const Rect whole{0, 0, width_, height_};
  Resolve(nullptr);
  other.Resolve(nullptr);
  ResolveReaders(whole);
  other.ResolveReaders(whole);
  // What the pixels are, and how they were made, goes with them.
  pixels_.swap(other.pixels_);
  damage_.swap(other.damage_);
  std::swap(version_, other.version_);
  made_.swap(other.made_);
  frame_.swap(other.frame_);
  if (!frame_.empty()) Enlist();
  if (!other.frame_.empty()) other.Enlist();
}
