#include "game/pause_screen.h"

#include <memory>

#include "game/balloon_module.h"
#include "game/balloon_state.h"
#include "shell/app.h"
#include "shell/dialog_screen.h"
#include "shell/mouse_state.h"
#include "shell/redraw_list.h"
#include "sprites/sprite.h"

namespace {

// The board's window, white frame and all (the generator draws the page to this size).
constexpr int kPageLeft = 148, kPageTop = 1;

bool wanted = false;
DialogScreen* shown = nullptr;  // while the page is up
bool goOn = false;
int keyToSwallow = 0;

bool ModifierAlone(int virtualKey) {
  return virtualKey == VK_SHIFT || virtualKey == VK_CONTROL || virtualKey == VK_MENU;
}

}  // namespace

void RequestPause() {
  if (wanted || TheBalloonState.GetState() != Playing) return;
  wanted = true;
  StopGameClock();
}

int PauseWanted() { return wanted ? 1 : 0; }
int PauseWaitsForFrame() { return wanted && !shown ? 1 : 0; }

int RunPause() {
  if (!wanted) return 1;
  if (TheBalloonState.GetState() != Playing) {  // the round ended before the page came
    wanted = false;
    return 1;
  }
  auto page = std::make_unique<DialogScreen>();
  page->AddDialogPicture("paused.bmp", nullptr);
  page->SetPosition(kPageLeft, kPageTop);
  Picture* picture = page->GetPicture();
  TheBalloonState.DrawStatusUnderDialog();
  Surface* scene = TheRedrawList.GetBackground();
  TheRedrawList.SetBackground(picture ? picture->GetSurface() : nullptr);
  shown = page.get();
  goOn = false;
  // A click goes on when its button comes up, so the board never sees its press.
  int x = 0, y = 0, buttons = 0;
  TheMouseState.GetState(&x, &y, &buttons);
  int lastButtons = buttons;
  bool pressed = false;
  // An inactive window gets the page on both display buffers and then waits for messages
  // alone; an active one shows it at the usual pace, which repeats the same picture and so
  // sends nothing to the window.
  int presentsWhileInactive = 2;
  while (!goOn) {
    if (PumpMessages() == 1) {
      shown = nullptr;
      wanted = false;
      TheRedrawList.SetBackground(scene);
      return 0;
    }
    TheMouseState.GetState(&x, &y, &buttons);
    pressed = pressed || (buttons != 0 && lastButtons == 0);
    if (pressed && buttons == 0) goOn = true;
    lastButtons = buttons;
    if (goOn) break;
    if (AppActive) {
      presentsWhileInactive = 2;
      LimitFrameRate(100);
    } else if (presentsWhileInactive > 0) {
      --presentsWhileInactive;
    } else {
      continue;
    }
    if (picture) picture->Draw(BackSurface, kPageLeft, kPageTop);
    TheBalloonModule.Present();
  }
  shown = nullptr;
  wanted = false;
  TheRedrawList.SetBackground(scene);
  TheRedrawList.AddDialogArea(page.get());
  TheBalloonState.dirty = 1;
  TheBalloonState.DrawRound(TheRedrawList.GetBackground());
  TheBalloonState.TakeStatusFromScene();
  StartGameClock();
  return 1;
}

int PauseTakesMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (!shown) return 0;
  switch (message) {
    case WM_KEYDOWN: {
      const bool repeat = (static_cast<uint32_t>(lParam) & (1u << 30)) != 0;
      const int key = static_cast<int>(wParam);
      if (!repeat && !ModifierAlone(key)) {
        goOn = true;
        keyToSwallow = key;
      }
      return 1;
    }
    case WM_PADBUTTONDOWN:
      goOn = true;
      return 1;
    case WM_KEYUP:
    case WM_PADBUTTONUP:
    case WM_MOUSEMOVE:
      return 1;
    default:
      return 0;
  }
}

int PauseTakesKeyUp(int virtualKey) {
  if (shown) return 1;  // no key acts on the game behind the page
  if (keyToSwallow == 0 || virtualKey != keyToSwallow) return 0;
  keyToSwallow = 0;
  return 1;
}

void ResetPause() {
  wanted = false;
  shown = nullptr;
  goOn = false;
  keyToSwallow = 0;
}
