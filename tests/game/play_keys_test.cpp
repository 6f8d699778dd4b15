// Keys and gamepad buttons to play actions: both devices ask for the same things.
#include <gtest/gtest.h>

#include <optional>

#include "game/play_actions.h"
#include "platform/win32/window/input.h"

namespace {

std::optional<PlayAction> Taken(UINT message, WPARAM button, LPARAM lParam = 0) {
  ClearPlayActions();
  HandlePlayInput(message, button, lParam);
  PlayAction action;
  if (!TakePlayAction(&action)) return std::nullopt;
  EXPECT_FALSE(TakePlayAction(&action)) << "one message, one action";
  return action;
}

std::optional<PlayAction> Pad(PadButton button) {
  return Taken(WM_PADBUTTONDOWN, static_cast<WPARAM>(button));
}

TEST(PlayKeys, KeysAndPadButtonsAskForTheSameActions) {
  input::Reset();
  const struct {
    int key;
    PadButton pad;
    PlayAction action;
  } same[] = {
      {VK_UP, PadButton::Up, PlayAction::CursorUp},
      {VK_DOWN, PadButton::Down, PlayAction::CursorDown},
      {VK_LEFT, PadButton::Left, PlayAction::CursorLeft},
      {VK_RIGHT, PadButton::Right, PlayAction::CursorRight},
      {VK_SPACE, PadButton::A, PlayAction::Pop},
      {'N', PadButton::Start, PlayAction::NewGame},
      {'H', PadButton::Back, PlayAction::Help},
  };
  for (const auto& s : same) {
    EXPECT_EQ(Taken(WM_KEYDOWN, s.key), s.action) << s.key;
    EXPECT_EQ(Pad(s.pad), s.action) << s.key;
  }
  EXPECT_EQ(Taken(WM_KEYDOWN, VK_RETURN), PlayAction::Pop);
  EXPECT_EQ(Pad(PadButton::LeftShoulder), PlayAction::BlowLeft);
  EXPECT_EQ(Pad(PadButton::RightShoulder), PlayAction::BlowRight);
  EXPECT_EQ(Pad(PadButton::B), std::nullopt);
  EXPECT_EQ(Taken(WM_KEYUP, VK_SPACE), std::nullopt);

  // Held keys repeat (bit 30): the arrows move again, a held Space does not pop again.
  const LPARAM repeat = 1 << 30;
  EXPECT_EQ(Taken(WM_KEYDOWN, VK_LEFT, repeat), PlayAction::CursorLeft);
  EXPECT_EQ(Taken(WM_KEYDOWN, VK_SPACE, repeat), std::nullopt);
  input::Key(42, true);  // left shift
  EXPECT_EQ(Taken(WM_KEYDOWN, VK_RIGHT), PlayAction::BlowRight);
  EXPECT_EQ(Taken(WM_KEYDOWN, VK_LEFT), PlayAction::BlowLeft);
  EXPECT_EQ(Taken(WM_KEYDOWN, VK_LEFT, repeat), std::nullopt) << "one blow per press";
  EXPECT_EQ(Taken(WM_KEYDOWN, VK_UP), PlayAction::CursorUp);
  input::Reset();
  ClearPlayActions();
}

}  // namespace
