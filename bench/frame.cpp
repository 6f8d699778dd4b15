// One game frame in steady play (DrawRound and Present, with pop-ups and icons rising over a
// full board), beside one full-screen copy of the back surface: the incremental redraw must
// stay well below the cost of repainting the whole screen.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "board/balloon_sprite.h"
#include "board/rising_sprite.h"
#include "game/balloon_module.h"
#include "game/balloon_state.h"
#include "platform/win32/display/dalk.h"
#include "shell/app.h"
#include "shell/redraw_list.h"
#include "sprites/sprite.h"

namespace {

Surface* Filled(int w, int h, uint16_t colour) {
  Surface* s = Surface::Create(w, h, 16);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) s->row16(y)[x] = (x + y) % 9 == 0 ? 0x001F : colour;
  return s;
}

void AddPicture(const char* name, int w, int h, uint16_t colour) {
  auto* picture = new Picture();
  picture->surface = Filled(w, h, colour);
  picture->width = w;
  picture->height = h;
  picture->SetName(name);
  TheBalloonModule.pictures->Append(picture);
}

// The display, the scene, the catalogue, the panel sprites and a filled board.
void SetUpGame() {
  static bool done = false;
  if (done) return;
  done = true;
  DalkInitDirectX(nullptr, 800, 600);
  Surface* front = nullptr;
  DalkGetDDInfo(&front, &BackSurface);
  TheRedrawList.SetBackground(Filled(800, 600, 0x5AFB));
  TheRedrawList.SetLayer(Filled(800, 600, 0x5AFB));
  const char* balloons[] = {"Red", "Yellow", "Purple", "Green", "Orange", "RedStar",
                            "YellowStar", "PurpleStar", "GreenStar", "OrangeStar", "pop"};
  for (const char* name : balloons) AddPicture(name, 32, 40, 0xF800);
  for (const char* name : {"x2", "x4", "x6"}) AddPicture(name, 40, 30, 0xFFE0);
  auto* font = new Sprite();
  font->AddFrame(Filled(200, 30, 0));
  TheBalloonModule.scoreFont = font;
  TheBalloonModule.timerBar = new Sprite();
  for (int i = 0; i < 37; ++i) TheBalloonModule.timerBar->AddFrame(Filled(60, 300, 0x07E0));
  BalloonState& s = TheBalloonState;
  s.showHook = [](int) {};
  s.soundHook = [](const char*) {};
  s.board = new PtrArray<BalloonSprite>();
  s.effects = new PtrArray<RisingSprite>();
  s.scoreDigits = new PtrArray<Surface>();
  for (int i = 0; i < 255; ++i) s.scoreDigits->Append(Filled(34, 21, 0xFFFF));
  srand(1);
  s.FillBoard(154, 7, 18, 14);
  s.SetGameTime(200);
  SetClockSeconds(150);
  FramesPerSecond = 100.0f;
}

// Twelve pop-ups and three icons in flight, started again whenever they reach the top.
void KeepEffectsFlying() {
  PtrArray<RisingSprite>& effects = *TheBalloonState.effects;
  while (effects.Count() < 15) {
    auto* e = new RisingSprite();
    const int i = effects.Count();
    e->AddSharedFrame(i < 12 ? TheBalloonState.scoreDigits->GetAt(i) : TheBalloonModule.FindPicture("x2")->GetSurface());
    e->x = 170.0f + 40.0f * i;
    e->y = 540.0f;
    e->vy = i < 12 ? -50.0f : -100.0f;
    e->expiry = GetTicks() + 1000000;
    effects.Append(e);
  }
  for (int i = 0; i < effects.Count(); ++i) {
    RisingSprite* e = effects.GetAt(i);
    if (e->y <= RisingTopY) e->y = 540.0f, e->vy = i < 12 ? -50.0f : -100.0f;
  }
}

void SteadyFrame(benchmark::State& state) {
  SetUpGame();
  for (auto _ : state) {
    KeepEffectsFlying();
    TheBalloonState.DrawRound(BackSurface);
    TheBalloonModule.Present();
  }
}
BENCHMARK(SteadyFrame)->Unit(benchmark::kMicrosecond);

// The centre of a cell of the largest group on the board: the preview's worst case.
void PointAtLargestGroup(int* x, int* y) {
  BalloonState& s = TheBalloonState;
  int best = 0, bestCell = 0;
  for (int cell = 0; cell < s.columns * s.rows; ++cell) {
    PtrArray<BalloonSprite> group;
    s.CollectGroup(cell, &group);
    if (group.Count() > best) best = group.Count(), bestCell = cell;
  }
  s.CellPosition(bestCell, x, y);
  *x += s.cellWidth / 2;
  *y += s.cellHeight / 2;
}

// The steady frame with the pointer resting on the largest group: its outline is drawn over
// the back surface and its cells restored on every frame.
void SteadyFrameWithPreview(benchmark::State& state) {
  SetUpGame();
  BalloonState& s = TheBalloonState;
  s.SetState(Playing);
  s.minGroup = 2;
  s.previewOn = true;
  int x = 0, y = 0;
  PointAtLargestGroup(&x, &y);
  for (auto _ : state) {
    KeepEffectsFlying();
    s.DrawRound(BackSurface);
    s.DrawPopPreview(x, y);
    TheBalloonModule.Present();
  }
  state.counters["points"] = s.previewPoints;
}
BENCHMARK(SteadyFrameWithPreview)->Unit(benchmark::kMicrosecond);

// The game's own share of a frame, without the display library's flip: the drawing, and
// settling what of it was held back, as each frame ends.
void DrawRoundOnly(benchmark::State& state) {
  SetUpGame();
  for (auto _ : state) {
    KeepEffectsFlying();
    TheBalloonState.DrawRound(BackSurface);
    TheRedrawList.FlipPage();
    TheRedrawList.RestorePage(BackSurface);
    Surface::EndFrames();
  }
}
BENCHMARK(DrawRoundOnly)->Unit(benchmark::kMicrosecond);

// The frame after a pop: the whole board is drawn into the scene again.
void FrameWithBoardRedraw(benchmark::State& state) {
  SetUpGame();
  for (auto _ : state) {
    KeepEffectsFlying();
    TheBalloonState.dirty = 1;
    TheBalloonState.DrawRound(BackSurface);
    TheBalloonModule.Present();
  }
}
BENCHMARK(FrameWithBoardRedraw)->Unit(benchmark::kMicrosecond);

void FullScreenCopy(benchmark::State& state) {
  SetUpGame();
  Surface* scene = TheRedrawList.GetBackground();
  for (auto _ : state) {
    BackSurface->Blt(nullptr, scene, nullptr, DDBLT_WAIT, nullptr);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(FullScreenCopy)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
