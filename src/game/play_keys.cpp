// The game's keys and gamepad buttons. Escape and F1 belong to the main window (they work
// on every screen); everything a player does on the board is here.
#include "game/balloon_state.h"
#include "game/play_actions.h"

namespace {

bool ShiftHeld() { return (GetAsyncKeyState(VK_SHIFT) & 0x8000) != 0; }

// A key held down repeats; only the arrows act on repeats.
bool KeyAction(int key, bool repeat, PlayAction* action) {
  const bool shift = ShiftHeld();
  switch (key) {
    case VK_UP: *action = PlayAction::CursorUp; return true;
    case VK_DOWN: *action = PlayAction::CursorDown; return true;
    case VK_LEFT: *action = shift ? PlayAction::BlowLeft : PlayAction::CursorLeft; return !(shift && repeat);
    case VK_RIGHT: *action = shift ? PlayAction::BlowRight : PlayAction::CursorRight; return !(shift && repeat);
    default: break;
  }
  if (repeat) return false;
  switch (key) {
    case VK_SPACE:
    case VK_RETURN: *action = PlayAction::Pop; return true;
    case 'N': *action = PlayAction::NewGame; return true;
    case 'H': *action = PlayAction::Help; return true;
    case 'P': *action = PlayAction::Pause; return true;
    default: return false;
  }
}

// The platform repeats a held direction itself, as a keyboard does.
bool PadAction(int button, PlayAction* action) {
  switch (static_cast<PadButton>(button)) {
    case PadButton::Up: *action = PlayAction::CursorUp; return true;
    case PadButton::Down: *action = PlayAction::CursorDown; return true;
    case PadButton::Left: *action = PlayAction::CursorLeft; return true;
    case PadButton::Right: *action = PlayAction::CursorRight; return true;
    case PadButton::A: *action = PlayAction::Pop; return true;
    case PadButton::LeftShoulder: *action = PlayAction::BlowLeft; return true;
    case PadButton::RightShoulder: *action = PlayAction::BlowRight; return true;
    case PadButton::Start: *action = PlayAction::NewGame; return true;
    case PadButton::Back: *action = PlayAction::Help; return true;
    case PadButton::Y: *action = PlayAction::Pause; return true;
    default: return false;
  }
}

int lastMouseX = -1, lastMouseY = -1;

}  // namespace

bool HandlePlayInput(UINT message, WPARAM wParam, LPARAM lParam) {
  PlayAction action;
  bool acts = false;
  if (message == WM_KEYDOWN) {
    const bool repeat = (static_cast<uint32_t>(lParam) & (1u << 30)) != 0;
    acts = KeyAction(static_cast<int>(wParam), repeat, &action);
  } else if (message == WM_PADBUTTONDOWN) {
    acts = PadAction(static_cast<int>(wParam), &action);
  } else if (message == WM_MOUSEMOVE) {
    // Moving the mouse hands the board back to it; a button's message at the same place
    // is no move.
    const int x = static_cast<int>(lParam & 0xFFFF), y = static_cast<int>((lParam >> 16) & 0xFFFF);
    if (x != lastMouseX || y != lastMouseY) TheBalloonState.cursorShown = 0;
    lastMouseX = x;
    lastMouseY = y;
  }
  if (acts) QueuePlayAction(action);
  return acts;
}
