// A fresh start of the shell's globals for a second run in the same process.
#include "shell/app.h"
#include "shell/frame_timer.h"
#include "shell/mouse_state.h"
#include "shell/redraw_list.h"
#include "shell/screen_module.h"

void ResetShellState() {
  StopFrameTimer();
  ResetFrameTimerState();
  ResetFrameDeadline();
  TheModuleManager.Clear();
  TheRedrawList.Reset();
  TheMouseState.Release();
  TheMouseState.buttons.store(0);
  TheMouseState.SetPollEnabled(1);
  ClearKeys();
  ResetKeyLatch();
  MainWindow = nullptr;
  BackSurface = nullptr;
  DirectDrawObject = nullptr;
  AppActive = 0;
  ShowFrameRate = 0;
  MouseOffsetX = MouseOffsetY = 0;
  FramesPerSecond = 100.0f;
}
