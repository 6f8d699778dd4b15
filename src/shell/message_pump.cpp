// The message pump and the frame pacing, shared by the frame loop and the dialog loop.
#include <cstdio>

#include "platform/dalk.h"
#include "platform/mmsystem.h"
#include "shell/app.h"
#include "shell/frame_timer.h"
#include "shell/mouse_state.h"

namespace {
int frameDeadline = 0;
}

int PumpMessages() {
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
  // Sleep on the timer rather than spin: each wait returns after one more tick.
  while (frameDeadline > GetTicks()) {
    WaitForTimerTick();
    CatchUpTicks();
  }
  frameDeadline = GetTicks() + period;
  FramesPerSecond = static_cast<float>(fps);
  if (ShowFrameRate) {
    char text[32];
    std::snprintf(text, sizeof(text), "%5.2f", FramesPerSecond);
    DalkPrintString(text, 580, 0);
  }
}

void ResetFrameDeadline() { frameDeadline = 0; }
