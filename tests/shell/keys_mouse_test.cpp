// The key queue (one entry per press, shift as +256) and the mouse state.
#include <gtest/gtest.h>

#include <vector>

#include "platform/win32/window/input.h"
#include "shell/mouse_state.h"

namespace {

class KeyQueueTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ClearKeys();
    ResetKeyLatch();
  }
  unsigned char keys[256] = {};
};

TEST_F(KeyQueueTest, AHeldKeyIsQueuedOncePerPress) {
  keys[30] = 0x80;
  for (int pass = 0; pass < 5; ++pass) LatchKeys(keys);
  EXPECT_EQ(NextKey(), 30);
  EXPECT_EQ(NextKey(), 0);
  keys[30] = 0;
  LatchKeys(keys);
  keys[30] = 0x80;
  LatchKeys(keys);
  EXPECT_EQ(NextKey(), 30);
  EXPECT_EQ(NextKey(), 0);
  LatchKeys(nullptr);  // no keyboard yet: nothing happens
  EXPECT_EQ(NextKey(), 0);
}

TEST_F(KeyQueueTest, ShiftAddsTwoHundredFiftySix) {
  keys[42] = 0x80;  // left shift, counted in the same pass
  keys[31] = 0x80;
  LatchKeys(keys);
  EXPECT_EQ(NextKey(), 31 + 256);
  EXPECT_EQ(NextKey(), 42 + 256);

  ClearKeys();
  ResetKeyLatch();
  unsigned char right[256] = {};
  right[54] = 0x80;  // right shift counts once it was latched before
  right[32] = 0x80;
  LatchKeys(right);
  EXPECT_EQ(NextKey(), 32);
  EXPECT_EQ(NextKey(), 54);
  right[33] = 0x80;
  LatchKeys(right);
  EXPECT_EQ(NextKey(), 33 + 256);
}

TEST_F(KeyQueueTest, RingKeepsOrderAndHasNoOverflowCheck) {
  for (int i = 1; i <= 255; ++i) PushKey(i);
  for (int i = 1; i <= 255; ++i) ASSERT_EQ(NextKey(), i);
  EXPECT_EQ(NextKey(), 0);
  ClearKeys();
  for (int i = 0; i < 256; ++i) PushKey(7);
  EXPECT_EQ(NextKey(), 0) << "256 unread pushes look empty";
}

// One timer poll, then the frame's view of the timer takes what it gave.
void Poll(MouseState& mouse) {
  mouse.PollButtons();
  mouse.ShowButtons(mouse.TakeButtons());
}

TEST(MouseStateTest, StateAndPolling) {
  MouseState mouse;
  EXPECT_EQ(mouse.Init(nullptr), 1);
  mouse.MoveTo(-5, 900);  // nothing clamps the position
  input::Reset();
  input::MouseButton(0, true);
  input::MouseButton(1, true);
  Poll(mouse);
  int x = 0, y = 0, buttons = 0;
  mouse.GetState(&x, &y, &buttons);
  EXPECT_EQ(x, -5);
  EXPECT_EQ(y, 900);
  EXPECT_EQ(buttons, 3);

  mouse.SetPollEnabled(0);
  input::MouseButton(1, false);
  Poll(mouse);
  mouse.GetState(nullptr, nullptr, &buttons);
  EXPECT_EQ(buttons, 3) << "polling is off";
  mouse.SetPollEnabled(1);
  Poll(mouse);
  mouse.GetState(nullptr, nullptr, &buttons);
  EXPECT_EQ(buttons, 1);
  input::Reset();

  mouse.SetFlipping(0x101);
  EXPECT_EQ(mouse.flipping, 1) << "only the low byte";
  mouse.SelectCursor(0);
  EXPECT_EQ(mouse.cursor, nullptr) << "no cursor pictures loaded";
}

// The buttons each poll gives, read by a frame after every poll and view.
std::vector<int> PolledButtons(MouseState& mouse, int polls) {
  std::vector<int> seen;
  for (int i = 0; i < polls; ++i) {
    Poll(mouse);
    int buttons = -1;
    mouse.GetState(nullptr, nullptr, &buttons);
    seen.push_back(buttons);
  }
  return seen;
}

TEST(MouseStateTest, NoPressIsLostBetweenPollsOrFrames) {
  MouseState mouse;
  input::Reset();
  // A tap: press and release inside one poll, for each button; then two quick clicks.
  input::MouseButton(0, true);
  input::MouseButton(0, false);
  EXPECT_EQ(PolledButtons(mouse, 3), (std::vector<int>{1, 0, 0}));
  input::MouseButton(1, true);
  input::MouseButton(1, false);
  EXPECT_EQ(PolledButtons(mouse, 2), (std::vector<int>{2, 0}));
  for (int i = 0; i < 2; ++i) {
    input::MouseButton(0, true);
    input::MouseButton(0, false);
  }
  EXPECT_EQ(PolledButtons(mouse, 5), (std::vector<int>{1, 0, 1, 0, 0}));
  // Different buttons may change in one poll; the order of the changes is kept.
  input::MouseButton(0, true);
  input::MouseButton(1, true);
  input::MouseButton(0, false);
  EXPECT_EQ(PolledButtons(mouse, 3), (std::vector<int>{3, 2, 2}));
  input::MouseButton(1, false);
  EXPECT_EQ(PolledButtons(mouse, 1), (std::vector<int>{0}));

  // A frame slower than the poll: the change waits for it instead of being overwritten.
  input::MouseButton(0, true);
  input::MouseButton(0, false);
  for (int i = 0; i < 4; ++i) Poll(mouse);
  int buttons = -1;
  mouse.GetState(nullptr, nullptr, &buttons);
  EXPECT_EQ(buttons, 1);
  EXPECT_EQ(PolledButtons(mouse, 2), (std::vector<int>{0, 0}));
  input::Reset();
}

}  // namespace
