// Drawing held back while it repeats the last frame's: whatever is held back or dropped, every
// surface must read exactly as if each blit had been carried out when asked for. Random
// frames that mostly repeat the one before (as the game's do) are drawn on real surfaces and
// on plain pixel arrays side by side, and compared at every read and every frame's end.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "surface_support.h"

namespace {

constexpr int kW = 48, kH = 32;

// What a surface must hold: its pixels and source key, drawn on at once.
struct Model {
  std::vector<uint16_t> px = std::vector<uint16_t>(kW * kH, 0);
  bool keyed = false;
  uint16_t key = 0;
};

struct Op {
  int kind = 0;  // 0 blit, 1 keyed blit, 2 fill, 3 locked write, 4 key change, 5 read
  int to = 0, from = 0;
  Rect dst, src;
  uint16_t value = 0;
};

class World {
 public:
  // 0 and 1 are the flip chain (0 is drawn on, tracked), 2 and 3 canvases that are drawn on
  // and read from (a scene, a layer), 4..7 pictures.
  static constexpr int kCount = 8;

  World() {
    std::mt19937 fill(99);
    for (int i = 0; i < kCount; ++i) {
      // Both buffers start as the picture shown.
      if (i == 1) fill.seed(99);
      surfaces_.push_back(MakeSurface(kW, kH));
      SurfaceDesc d{};
      surfaces_[i]->Lock(nullptr, &d, DDLOCK_WAIT, nullptr);
      for (int y = 0; y < kH; ++y) {
        auto* row = reinterpret_cast<uint16_t*>(static_cast<uint8_t*>(d.memory) + y * d.pitch);
        for (int x = 0; x < kW; ++x) row[x] = models_[i].px[y * kW + x] = fill() % 5;
      }
      surfaces_[i]->Unlock(nullptr);
    }
    surfaces_[0]->TrackDamage(true);
    surfaces_[1]->TrackDamage(true);
    shown_ = models_[0].px;
  }

  void Apply(const Op& op) {
    Surface& to = *surfaces_[op.to];
    Model& m = models_[op.to];
    switch (op.kind) {
      case 0:
      case 1: {
        const uint32_t flags = op.kind == 1 ? DDBLT_KEYSRC : 0;
        ASSERT_EQ(to.Blt(&op.dst, surfaces_[op.from].get(), &op.src, flags, nullptr), DD_OK);
        const Model from = models_[op.from];  // a copy: the source may be the target
        for (int y = 0; y < op.dst.bottom - op.dst.top; ++y)
          for (int x = 0; x < op.dst.right - op.dst.left; ++x) {
            const uint16_t v = from.px[(op.src.top + y) * kW + op.src.left + x];
            if (op.kind == 1 && from.keyed && v == from.key) continue;
            m.px[(op.dst.top + y) * kW + op.dst.left + x] = v;
          }
        break;
      }
      case 2: {
        BltFx fx;
        fx.fillColor = op.value;
        ASSERT_EQ(to.Blt(&op.dst, nullptr, nullptr, DDBLT_COLORFILL, &fx), DD_OK);
        ForEach(op.dst, [&](int i) { m.px[i] = op.value; });
        break;
      }
      case 3: {  // shades what is there, as the pointer's preview does
        SurfaceDesc d{};
        ASSERT_EQ(to.Lock(&op.dst, &d, DDLOCK_WAIT, nullptr), DD_OK);
        for (int y = 0; y < op.dst.bottom - op.dst.top; ++y) {
          auto* row = reinterpret_cast<uint16_t*>(static_cast<uint8_t*>(d.memory) + y * d.pitch);
          for (int x = 0; x < op.dst.right - op.dst.left; ++x) row[x] = (row[x] + 1) % 5;
        }
        to.Unlock(nullptr);
        ForEach(op.dst, [&](int i) { m.px[i] = (m.px[i] + 1) % 5; });
        break;
      }
      case 4:
        SetKey(to, op.value, op.value);
        m.keyed = true;
        m.key = op.value;
        break;
      case 5:
        ExpectSame(op.to);
        break;
    }
  }

  void ExpectSame(int i) {
    const Surface& s = *surfaces_[i];
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x)
        ASSERT_EQ(Px(s, x, y), models_[i].px[y * kW + x]) << "surface " << i << " at " << x << "," << y;
  }

  // The present: every change to the drawn-on buffer since the last one lies in an area
  // noted as drawn on; then the buffers swap, with what the shown one lacks noted.
  void EndFrame() {
    Surface::EndFrames();
    for (int i = 0; i < kCount; ++i) ExpectSame(i);
    std::vector<Rect> noted = surfaces_[0]->TakeDamage();
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x) {
        const uint16_t now = Px(*surfaces_[0], x, y);
        if (now == shown_[y * kW + x]) continue;
        bool inside = false;
        for (const Rect& r : noted) inside |= x >= r.left && x < r.right && y >= r.top && y < r.bottom;
        ASSERT_TRUE(inside) << "frame " << frames_ << ": a change at " << x << "," << y << " was not noted";
      }
    ++frames_;
    const std::vector<uint16_t> before = shown_;
    shown_ = models_[0].px;
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x)
        if (before[y * kW + x] != shown_[y * kW + x])
          surfaces_[1]->NoteDamage(Rect{x, y, x + 1, y + 1});
    surfaces_[0]->SwapContents(*surfaces_[1]);
    std::swap(models_[0], models_[1]);
  }

  // A picture let go and made again with the same pixels (perhaps at the same address).
  void Remake(int i) {
    surfaces_[i].reset();
    surfaces_[i] = MakeSurface(kW, kH);
    SurfaceDesc d{};
    surfaces_[i]->Lock(nullptr, &d, DDLOCK_WAIT, nullptr);
    for (int y = 0; y < kH; ++y)
      std::memcpy(static_cast<uint8_t*>(d.memory) + y * d.pitch, &models_[i].px[y * kW], kW * 2);
    surfaces_[i]->Unlock(nullptr);
    if (models_[i].keyed) SetKey(*surfaces_[i], models_[i].key, models_[i].key);
  }

 private:
  template <typename F>
  static void ForEach(const Rect& r, F f) {
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) f(y * kW + x);
  }

  std::vector<SurfacePtr> surfaces_;
  Model models_[kCount];
  std::vector<uint16_t> shown_;
  int frames_ = 0;
};

Op RandomOp(std::mt19937& rng) {
  auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
  Op op;
  const int roll = pick(100);
  op.kind = roll < 35 ? 0 : roll < 75 ? 1 : roll < 85 ? 2 : roll < 91 ? 3 : roll < 94 ? 4 : 5;
  // Most drawing lands on the drawn-on buffer, some on the canvases.
  op.to = pick(10) < 6 ? 0 : 2 + pick(2);
  if (op.kind == 4) op.to = 2 + pick(6);
  op.from = pick(2) == 0 ? 2 + pick(2) : 4 + pick(4);
  if (pick(40) == 0) op.from = op.to;  // within one surface
  const int w = 1 + pick(16), h = 1 + pick(12);
  const int x = pick(kW - w + 1), y = pick(kH - h + 1);
  op.dst = Rect{x, y, x + w, y + h};
  const int sx = pick(kW - w + 1), sy = pick(kH - h + 1);
  op.src = Rect{sx, sy, sx + w, sy + h};
  op.value = static_cast<uint16_t>(pick(5));
  return op;
}

TEST(SurfaceRepeats, ReadAsIfEveryBlitWereCarriedOutAtOnce) {
  for (unsigned seed = 1; seed <= 40; ++seed) {
    SCOPED_TRACE(seed);
    std::mt19937 rng(seed);
    World world;
    std::vector<Op> frame;
    for (int i = 0; i < 30; ++i) frame.push_back(RandomOp(rng));
    for (int f = 0; f < 60; ++f) {
      // Each frame repeats the one before except for a few pieces, as a quiet game does;
      // some frames are quite different (a pop, a new round).
      const unsigned changes = rng() % 8 == 0 ? 12 : rng() % 3;
      for (unsigned c = 0; c < changes; ++c) frame[rng() % frame.size()] = RandomOp(rng);
      for (const Op& op : frame) {
        world.Apply(op);
        if (::testing::Test::HasFatalFailure()) return;
        if (rng() % 200 == 0) world.Remake(4 + static_cast<int>(rng() % 4));
      }
      world.EndFrame();
      if (::testing::Test::HasFatalFailure()) return;
    }
  }
}

// The quiet frame the cure is for: once a frame repeats the one before on the same buffer,
// it draws nothing, and notes nothing to compare.
TEST(SurfaceRepeats, AFrameThatRepeatsTheLastDrawsNothing) {
  auto back = MakeSurface(kW, kH), front = MakeSurface(kW, kH), scene = MakeSurface(kW, kH);
  auto sprite = MakeSurface(8, 8), layer = MakeSurface(kW, kH);
  FillPattern(*scene);
  FillPattern(*layer);
  Clear(*sprite, 7);
  back->TrackDamage(true);
  const Rect whole{0, 0, kW, kH}, panel{0, 0, 20, 10}, spot{10, 10, 18, 18}, all8{0, 0, 8, 8};
  auto drawFrame = [&] {
    scene->Blt(&panel, layer.get(), &panel, 0, nullptr);  // the panel copied in every frame
    back->Blt(&whole, scene.get(), &whole, 0, nullptr);
    back->Blt(&spot, sprite.get(), &all8, DDBLT_KEYSRC, nullptr);
  };
  for (int frame = 0; frame < 3; ++frame) {
    drawFrame();
    Surface::EndFrames();
    back->TakeDamage();
    back->SwapContents(*front);
  }
  drawFrame();
  Surface::EndFrames();
  EXPECT_TRUE(back->TakeDamage().empty());
  EXPECT_EQ(Px(*back, 12, 12), 7);
  EXPECT_EQ(Px(*back, 30, 20), Px(*scene, 30, 20));
  // A change to the layer reaches the scene and, through it, the buffer.
  Clear(*layer, 3);
  drawFrame();
  Surface::EndFrames();
  EXPECT_FALSE(back->TakeDamage().empty());
  EXPECT_EQ(Px(*back, 5, 5), 3);
}

// A blit held back on one surface must read its source as it was when asked for, even when
// drawing on the source, asked for later, is carried out first.
TEST(SurfaceRepeats, HeldDrawingReadsItsSourceAsItWasWhenAskedFor) {
  auto scene = MakeSurface(8, 8), back = MakeSurface(8, 8);
  const Rect b{0, 0, 4, 4}, c{2, 2, 6, 6}, a{3, 3, 4, 4}, z{3, 3, 5, 5};
  auto fill = [](Surface& s, const Rect& r, uint32_t colour) {
    BltFx fx;
    fx.fillColor = colour;
    s.Blt(&r, nullptr, nullptr, DDBLT_COLORFILL, &fx);
  };
  for (int frame = 0; frame < 3; ++frame) {
    fill(*scene, b, 1);
    fill(*scene, c, 2);
    back->Blt(&a, scene.get(), &a, 0, nullptr);
    Surface::EndFrames();
  }
  // The pixel the copy reads is 2 until the scene is drawn differently, after the copy.
  fill(*back, z, 5);                            // new: the copy below cannot simply be dropped
  back->Blt(&a, scene.get(), &a, 0, nullptr);   // held: it repeats the last frame's
  fill(*scene, b, 1);                           // held as well
  fill(*scene, c, 3);                           // new: the first fill is carried out now
  Surface::EndFrames();
  EXPECT_EQ(Px(*back, 3, 3), 2);
  EXPECT_EQ(Px(*back, 4, 4), 5);
  EXPECT_EQ(Px(*scene, 3, 3), 3);
}

}  // namespace
