// The queue of the player's keyboard and gamepad actions, and how the round carries out
// those that act on the board: the same calls as a click, a cloud or a right click.
#include "game/play_actions.h"

#include <algorithm>
#include <deque>

#include "board/balloon_sprite.h"
#include "game/balloon_module.h"
#include "game/balloon_state.h"
#include "shell/redraw_list.h"
#include "sprites/sprite.h"

namespace {

// A player cannot press more than this between two frames; the rest would be a flood.
constexpr size_t kMostQueued = 32;
std::deque<PlayAction> queued;

}  // namespace

void QueuePlayAction(PlayAction action) {
  if (queued.size() < kMostQueued) queued.push_back(action);
}

bool TakePlayAction(PlayAction* action) {
  if (queued.empty()) return false;
  *action = queued.front();
  queued.pop_front();
  return true;
}

void ClearPlayActions() { queued.clear(); }

void BalloonState::MoveCursor(int dColumn, int dRow) {
  cursorColumn = std::clamp(cursorColumn + dColumn, 0, columns > 0 ? columns - 1 : 0);
  cursorRow = std::clamp(cursorRow + dRow, 0, rows > 0 ? rows - 1 : 0);
  cursorShown = 1;
}

void BalloonState::BoardAction(PlayAction action) {
  switch (action) {
    case PlayAction::CursorUp: return MoveCursor(0, -1);
    case PlayAction::CursorDown: return MoveCursor(0, 1);
    case PlayAction::CursorLeft: return MoveCursor(-1, 0);
    case PlayAction::CursorRight: return MoveCursor(1, 0);
    default: break;
  }
  if (GetState() != Playing) return;
  cursorShown = 1;
  if (action == PlayAction::Pop) {
    ClickCell(CellIndex(cursorColumn, cursorRow));
  } else if (action == PlayAction::BlowRight) {
    BlowRowRight(cursorRow);  // as the cloud at the row's left end
    SettleBoard();
  } else if (action == PlayAction::BlowLeft) {
    BlowRowLeft(cursorRow);
    SettleBoard();
  }
}

void BalloonState::DrawCursor(Surface* surface) {
  Sprite* ring = TheBalloonModule.cursorRing;
  if (!ring || !cursorShown || GetState() != Playing || columns <= 0) return;
  int x = 0, y = 0;
  CellPosition(CellIndex(cursorColumn, cursorRow), &x, &y);
  ring->x = static_cast<float>(x);
  ring->y = static_cast<float>(y);
  ring->DrawTo(surface);
}
