// The message pump and the frame pacing, shared by the frame loop and the dialog loop.
#include <algorithm>
#include <cstdio>

#include "platform/replay/replay.h"
#include "platform/win32/display/dalk.h"
#include "platform/win32/sound/mmsystem.h"
#include "platform/win32/window/message_wait.h"
#include "shell/app.h"
#include "shell/frame_timer.h"
#include "shell/idle.h"
#include "shell/mouse_state.h"
#include "shell/redraw_list.h"

namespace {

int frameDeadline = 0;

// The rate the paced loop really keeps, counted over windows of a second of ticks. A gap
// of a quarter second or more (the window was inactive, a dialog ran its own loop) starts
// a new window instead of counting as slow frames.
struct RateMeter {
  int windowStart = 0;
  int lastPass = 0;
  int passes = -1;  // -1: no window open
  float rate = 0.0f;
  bool slept = false;  // the loop slept since the last pass: the slots it left out count
};
RateMeter meter;

constexpr int kFrameMs = 10;
// Frames in a row with no input and nothing due before the next one: by then the last
// change has reached every page of the picture, and the loop may sleep.
constexpr int kSettleFrames = 3;
// The longest sleep: a message another thread posts (the music's end) waits no longer.
constexpr int kLongestSleepMs = 250;

NextChangeHook nextChange = nullptr;
int quietFrames = 0;
unsigned long long inputsSeen = 0;

void CountPass(int now) {
  const bool slept = meter.slept;
  meter.slept = false;
  if (meter.passes >= 0 && slept) {
    meter.passes += std::max(1, (now - meter.lastPass) / kFrameMs);
  } else if (meter.passes < 0 || now - meter.lastPass >= 250) {
    meter.windowStart = now;
    meter.passes = 0;
  } else {
    ++meter.passes;
  }
  meter.lastPass = now;
  const int elapsed = now - meter.windowStart;
  if (elapsed >= 1000) {
    meter.rate = static_cast<float>(meter.passes) * 1000.0f / static_cast<float>(elapsed);
    meter.windowStart = now;
    meter.passes = 0;
  }
}

}  // namespace

int PumpMessages() {
  SyncTimerView(false, GetTicks());
  MSG message;
  while (PeekMessage(&message, nullptr, 0, 0, PM_REMOVE)) {
    // Keys are latched once per message so that short presses between frames still count.
    LatchKeys(DalkGetKeys());
    if (message.message == WM_QUIT) {
      // Put it back for the outer loop: a dialog's loop may be the one that saw it.
      PostQuitMessage(static_cast<int>(message.wParam));
      return 1;
    }
    TranslateMessage(&message);
    DispatchMessage(&message);
  }
  return 0;
}

int PumpMessagesUntilClose() {
  MSG message;
  while (PeekMessage(&message, nullptr, 0, 0, PM_REMOVE)) {
    LatchKeys(DalkGetKeys());
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));
      return 1;
    }
    if (message.message == WM_CLOSE) {
      PostMessage(message.hwnd, WM_CLOSE, message.wParam, message.lParam);
      return 1;
    }
    TranslateMessage(&message);
    DispatchMessage(&message);
  }
  return 0;
}

void LimitFrameRate(int fps) {
  int period = fps > 0 ? 1000 / fps : 0;
  CatchUpTicks();
  // Sleep on the timer rather than spin: each wait returns after one more tick. A replay
  // keeps the recording's pace instead.
  while (!ReplayPlaying() && frameDeadline > RawTicks()) {
    WaitForTimerTick();
    CatchUpTicks();
  }
  SyncTimerView(true, frameDeadline > GetTicks() ? frameDeadline : GetTicks());
  frameDeadline = GetTicks() + period;
  CountPass(GetTicks());
  // Motion is scaled by the rate the loop really keeps; the target stands in until the
  // first second has been measured.
  FramesPerSecond = meter.rate > 0.0f ? meter.rate : static_cast<float>(fps);
}

// Drawn as the last thing before the flip, so nothing drawn later in the frame cuts into
// it, on a dark plate of its own: the board's white frame runs right through the top rows.
// The plate is given back to the scene on this page's next restore.
void DrawFrameRate(Surface* target) {
  if (!ShowFrameRate || !target) return;
  constexpr int kChars = 7, kGlyph = 8;  // up to "1000.00"
  const Rect plate{576, 0, 576 + kChars * kGlyph + 8, kGlyph + 5};
  char text[kChars + 1];
  std::snprintf(text, sizeof(text), "%5.2f", FramesPerSecond);
  TheRedrawList.AddScreenRect(plate.left, plate.top, plate.right, plate.bottom, RedrawOneShot,
                              RedrawFromBackground);
  BltFx fill;
  fill.fillColor = 0x1908;  // a deep navy in 5-6-5
  target->Blt(&plate, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fill);
  DalkPrintString(text, plate.left + 4, plate.top + 2);
}

void ResetFrameDeadline() {
  frameDeadline = 0;
  meter = RateMeter{};
  quietFrames = 0;
}

void SetNextChangeHook(NextChangeHook hook) { nextChange = hook; }

void IdleWhileUnchanged() {
  const int now = GetTicks();
  const int due = std::min(nextChange ? nextChange(now) : now, NextClockSecondTick());
  const unsigned long long inputs = HostInputsDelivered();
  const bool quiet = inputs == inputsSeen && due > frameDeadline;
  inputsSeen = inputs;
  quietFrames = quiet ? quietFrames + 1 : 0;
  // A replay keeps its recording's frames; a virtual clock moves only when the loop runs.
  if (quietFrames < kSettleFrames || ReplayPlaying() || !MessageWaitSleeps()) return;
  while (RawTicks() < due) {
    if (WaitForMessageOrTimeout(std::min(due - RawTicks(), kLongestSleepMs))) break;
  }
  meter.slept = true;
}
