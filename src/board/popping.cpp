// Popping and scoring: what a click on the board does, the group that bursts with it,
// its points and star bonus, the big balloon of a cleared colour, and the pictures that
// rise over the board afterwards.
#include <cstdio>
#include <cstdlib>

#include "board/balloon_sprite.h"
#include "board/board_colours.h"
#include "board/rising_sprite.h"
#include "game/balloon_state.h"
#include "game/catalogue.h"
#include "platform/runtime/game_random.h"
#include "shell/app.h"

namespace {

constexpr int LeftButton = 1;
constexpr int RightButton = 2;

constexpr float PopUpSpeed = -50.0f;      // score pop-ups, pixels per second
constexpr float IconSpeed = -100.0f;      // multiplier icons
constexpr int PopUpLifeMs = 1000;
constexpr int IconLifeMs = 2000;
constexpr int BigBalloonLifeMs = 2000;
constexpr float BigBalloonX = 360.0f, BigBalloonY = 180.0f;
// Pictures launched this close to the top do not rise at all.
constexpr float NoRiseBelowY = 10.0f;
// Effects above this line are kept but not drawn.
constexpr float DrawBelowY = 5.0f;

constexpr int BigBalloonPoints = 100000;
constexpr int StepMs = 200;  // between the bursts of one group

}  // namespace

void RisingSprite::Move() {
  if (FramesPerSecond < 10.0f) FramesPerSecond = 60.0f;
  x += vx / FramesPerSecond;
  y += vy / FramesPerSecond;
  if (y < RisingTopY) {
    y = RisingTopY;
    vy = 0;
  }
}

namespace {

void Launch(PtrArray<RisingSprite>* effects, Surface* picture, float x, float y, float speed,
            int lifeMs) {
  if (!effects || !picture) return;
  auto* e = new RisingSprite();
  e->AddSharedFrame(picture);
  e->x = x;
  e->y = y;
  e->vx = 0;
  e->vy = y < NoRiseBelowY ? 0.0f : speed;
  e->expiry = GetTicks() + lifeMs;
  effects->Append(e);
}

}  // namespace

void BalloonState::HandleBoardMouse(int x, int y, int buttons) {
  if (buttons != previousButtons) {
    if (buttons & LeftButton) {
      ClickCell(CellAt(x, y));
    } else if (buttons & RightButton) {
      const int cell = CellAt(x, y);
      if (cell != -1) {
        int column = 0, row = 0;
        CellColumnRow(cell, &column, &row);
        if (row % 2 == 1)
          BlowRowRight(row);
        else
          BlowRowLeft(row);
        SettleBoard();
      }
    }
  }
  previousButtons = buttons;
}

void BalloonState::ClickCell(int cell) {
  if (cell != -1) {
    PopAt(cell);
    SettleBoard();
  }
  dirty = 1;
}

void BalloonState::CollectGroup(int cell, PtrArray<BalloonSprite>* group) {
  BalloonSprite* b = BalloonAt(cell);
  if (!b) return;
  if (!group->Find(b)) group->Append(b);
  int column = 0, row = 0;
  CellColumnRow(cell, &column, &row);
  // Left, right, up, down: this order decides the bursting order and each balloon's points.
  const int neighbours[4][3] = {
      {column > 0, column - 1, row},
      {column + 1 < columns, column + 1, row},
      {row > 0, column, row - 1},
      {row + 1 < rows, column, row + 1},
  };
  for (const auto& n : neighbours) {
    if (!n[0]) continue;
    const int next = CellIndex(n[1], n[2]);
    BalloonSprite* other = BalloonAt(next);
    if (other && other->colour == b->colour && !group->Find(other)) {
      group->Append(other);
      CollectGroup(next, group);
    }
  }
}

void BalloonState::PopAt(int cell) {
  lastPopScore = 0;
  int stars = 0;
  if (!BalloonAt(cell)) return;
  PtrArray<BalloonSprite> group;
  CollectGroup(cell, &group);
  const int n = group.Count();
  if (n < minGroup) {
    PlaySound("negative");
    return;
  }
  static const char* const icons[3] = {"x2", "x4", "x6"};
  int colour = 0;
  for (int k = 0; k < n; ++k) {
    BalloonSprite* b = group.GetAt(k);
    if (k > 0) ShowFor(StepMs);
    if (b->star) {
      PlaySound("bonus");
      ++stars;
      if (stars <= 3) Launch(effects, CatalogueSurface(icons[stars - 1]), b->x, b->y, IconSpeed,
                             IconLifeMs);
    }
    // The random number is drawn even while a star's "pop1" is forced, so the sequence of
    // draws does not depend on the stars.
    const int pick = GameRandom() % 5 + 1;
    char sample[8];
    std::snprintf(sample, sizeof sample, "pop%d", stars == 1 ? 1 : pick);
    PlaySound(sample);
    b->SetCurrentFrame(1);
    b->DrawTo(BackSurface);
    const int tile = (50 - k) * 5 + b->colour;
    Launch(effects, scoreDigits ? scoreDigits->GetAt(tile) : nullptr, b->x, b->y, PopUpSpeed,
           PopUpLifeMs);
    SetScore(GetScore() + (k + 1) * 100);
    lastPopScore += 100 + k * 100;
    colour = b->colour;
    board->SetAt(nullptr, b->cell);
    delete b;
  }
  CheckColourCleared(colour);
  if (stars > 0) {
    const int bonus = lastPopScore * stars * 2;
    SetScore(GetScore() + bonus);
    lastPopScore += bonus;
  }
}

void BalloonState::CheckColourCleared(int colour) {
  if (colour < 0 || colour >= BalloonColours) return;
  int counts[BalloonColours] = {};
  if (board) {
    for (int i = 0; i < board->Count(); ++i) {
      BalloonSprite* b = board->GetAt(i);
      if (b && b->colour >= 0 && b->colour < BalloonColours) ++counts[b->colour];
    }
  }
  if (counts[colour] != 0) return;
  Launch(effects, CatalogueSurface(ColourPictures[colour].big), BigBalloonX, BigBalloonY, 0.0f,
         BigBalloonLifeMs);
  SetScore(GetScore() + BigBalloonPoints);
  AddClockSeconds(GetAuxC());
  PlaySound("allcolor");
}

void BalloonState::UpdateEffects(Surface* destination) {
  if (!effects) {
    effectsShowing = 0;
    return;
  }
  for (int i = 0; i < effects->Count();) {
    RisingSprite* e = effects->GetAt(i);
    e->Move();
    if (TicksSince(e->expiry) > 0) {
      effects->Remove(e);
      delete e;
    } else {
      ++i;
    }
  }
  effectsShowing = 0;
  for (int i = 0; i < effects->Count(); ++i) {
    RisingSprite* e = effects->GetAt(i);
    if (e->y > DrawBelowY) {
      e->DrawTo(destination);
      effectsShowing = 1;
    }
  }
}
