// Blit speed: a full-screen colour-keyed blit (the per-frame hot path), a plain copy and a
// stretched copy, beside memcpy of the same bytes, plus a board's worth of small keyed blits.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <vector>

#include "platform/video/ddraw.h"

namespace {

constexpr int kWidth = 800, kHeight = 600;
constexpr int64_t kScreenBytes = int64_t{kWidth} * kHeight * 2;

struct Released {
  void operator()(Surface* s) const { s->Release(); }
};
using Owned = std::unique_ptr<Surface, Released>;

// A picture with transparent runs of varying length, like a balloon sheet.
Owned Picture(int w, int h) {
  Owned s(Surface::Create(w, h, 16));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      s->row16(y)[x] = ((x / 7 + y / 5) % 3 == 0) ? 0x001F : static_cast<uint16_t>(x * 31 + y);
  const ColorKey key{0x001F, 0x001F};
  s->SetColorKey(DDCKEY_SRCBLT, &key);
  return s;
}

void BlitFullScreen(benchmark::State& state, uint32_t flags) {
  Owned src = Picture(kWidth, kHeight);
  Owned dst(Surface::Create(kWidth, kHeight, 16));
  for (auto _ : state) {
    dst->Blt(nullptr, src.get(), nullptr, flags, nullptr);
    benchmark::DoNotOptimize(dst->pixels());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * kScreenBytes);
}

void BM_KeyedBlit800x600(benchmark::State& state) {
  BlitFullScreen(state, DDBLT_WAIT | DDBLT_KEYSRC);
}
BENCHMARK(BM_KeyedBlit800x600);

void BM_PlainBlit800x600(benchmark::State& state) { BlitFullScreen(state, DDBLT_WAIT); }
BENCHMARK(BM_PlainBlit800x600);

void BM_Memcpy800x600(benchmark::State& state) {
  std::vector<uint8_t> from(kScreenBytes, 1), to(kScreenBytes);
  for (auto _ : state) {
    std::memcpy(to.data(), from.data(), kScreenBytes);
    benchmark::DoNotOptimize(to.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * kScreenBytes);
}
BENCHMARK(BM_Memcpy800x600);

// The 640x480 picture stretched to the whole screen, as the both-buffers blit does.
void BM_StretchBlitTo800x600(benchmark::State& state) {
  Owned src = Picture(640, 480);
  Owned dst(Surface::Create(kWidth, kHeight, 16));
  for (auto _ : state) {
    dst->Blt(nullptr, src.get(), nullptr, DDBLT_WAIT, nullptr);
    benchmark::DoNotOptimize(dst->pixels());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * kScreenBytes);
}
BENCHMARK(BM_StretchBlitTo800x600);

// 252 keyed blits of a 40x40 balloon: a full board redrawn.
void BM_KeyedBlitBoard(benchmark::State& state) {
  Owned balloon = Picture(40, 40);
  Owned dst(Surface::Create(kWidth, kHeight, 16));
  for (auto _ : state) {
    for (int row = 0; row < 14; ++row)
      for (int column = 0; column < 18; ++column) {
        const Rect to{40 + column * 40, 20 + row * 40, 80 + column * 40, 60 + row * 40};
        dst->Blt(&to, balloon.get(), nullptr, DDBLT_WAIT | DDBLT_KEYSRC, nullptr);
      }
    benchmark::DoNotOptimize(dst->pixels());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * 252 * 40 * 40 * 2);
}
BENCHMARK(BM_KeyedBlitBoard);

}  // namespace

BENCHMARK_MAIN();
