// The module's frame: the four side buttons, live at all times, then the round.
#include <climits>
#include <cstring>
#include <string>

#include "game/balloon_module.h"
#include "game/balloon_state.h"
#include "game/game_sounds.h"
#include "game/hall_of_fame_screen.h"
#include "game/pause_screen.h"
#include "platform/replay/replay.h"
#include "shell/app.h"
#include "shell/dialog_screen.h"
#include "shell/idle.h"
#include "shell/redraw_list.h"
#include "sprites/button.h"
#include "sprites/sprite.h"

namespace {
constexpr int BlinkMs = 500;
}

int BalloonModule::Frame(int) {
  if (!buttons) return 0;
  if (!RunPlayActions()) return QuitCode;
  if (PauseWanted() && !RunPause()) return QuitCode;
  if (buttons->WasPressed("newgame")) TheBalloonState.NewRound();
  if (buttons->WasPressed("help") && !ShowHelp()) return QuitCode;
  if ((buttons->WasPressed("halloffame") || TakeHallOfFameRequest()) && !ShowHallOfFame())
    return QuitCode;
  if (buttons->WasPressed("exit")) return QuitCode;
  if (buttons->WasPressed("menu") && StartLauncher()) return QuitCode;
  if (TheBalloonState.Frame() == QuitCode) return QuitCode;
  return Present() ? 1 : 0;
}

// Keyboard and gamepad actions: the side buttons' here, the board's in the round's frame.
// 0 when the application is closing.
int BalloonModule::RunPlayActions() {
  PlayAction action;
  while (TakePlayAction(&action)) {
    if (action == PlayAction::NewGame) {
      TheBalloonState.NewRound();
    } else if (action == PlayAction::Help) {
      if (!ShowHelp()) return 0;
    } else if (action == PlayAction::Pause) {
      RequestPause();
    } else {
      TheBalloonState.pendingActions.push_back(action);
    }
  }
  return 1;
}

int BalloonModule::HandleMessage(ScreenModule*, HWND, UINT message, WPARAM wParam,
                                 LPARAM lParam) {
  if (PauseTakesMessage(message, wParam, lParam)) return 1;
  DialogScreen* dialog = helpDialog ? helpDialog : OpenHallOfFame();
  // A window that loses its focus pauses: the player is elsewhere. A page already up has
  // stopped the clock.
  if (message == WM_ACTIVATE && (wParam & 0xFFFF) == WA_INACTIVE && !dialog &&
      ReplayFocusLossPauses())
    RequestPause();
  if (!HandlePlayInput(message, wParam, lParam)) return 1;
  // While the rules or the table are open, a pop (or, for the rules, the help key) closes
  // them; every play key is used up there, so none acts on the board once they close.
  if (DialogScreen* open = dialog) {
    PlayAction action;
    while (TakePlayAction(&action)) {
      if (action == PlayAction::Pop || (open == helpDialog && action == PlayAction::Help))
        open->SetResult("key");
    }
  }
  return 1;
}

// The rules picture in a dialog. 0 when the application is closing.
int BalloonModule::ShowHelp() {
  StopGameClock();
  PlayGameSound("click");
  auto* dialog = new DialogScreen();
  dialog->AddDialogPicture("title\\HowToPlay.bmp", nullptr);
  dialog->AddDefaultButton();
  char result[256] = {};  // Run fills a whole name-sized buffer
  TheBalloonState.DrawStatusUnderDialog();
  helpDialog = dialog;
  const int shown = dialog->Run(result, "rules");
  helpDialog = nullptr;
  if (!shown) {
    delete dialog;
    return 0;
  }
  TheRedrawList.AddDialogArea(dialog);
  delete dialog;
  TheBalloonState.dirty = 1;
  TheBalloonState.DrawRound(TheRedrawList.GetBackground());
  TheBalloonState.TakeStatusFromScene();
  // Reading the rules costs the player no time.
  if (TheBalloonState.GetState() == Playing) StartGameClock();
  return 1;
}

// Starts the launcher from the command line's folder. 1 when the game must end: only once
// the launcher runs, so that a player whose launcher is missing keeps the game, and is told.
int BalloonModule::StartLauncher() {
  PlayGameSound("click");
  if (CommandLine[0] == '\0') return 0;
  const std::string path = std::string(CommandLine) + "\\Gatefold.exe";
  const intptr_t started =
      ShellExecute(nullptr, "open", path.c_str(), "Zorbit", CommandLine, SW_SHOWNORMAL);
  if (started > 32) return 1;
  const std::string why = started == 3 ? "there is no such folder" : "there is no launcher program in it";
  const std::string text = "The launcher could not be started from " + std::string(CommandLine) +
                           ": " + why + ".";
  MessageBox(MainWindow, text.c_str(), "Zorbit", MB_OK | MB_ICONERROR);
  return 0;
}

void BalloonModule::BlinkNewGame() {
  if (!buttons) return;
  Button* newGame = buttons->Find("newgame");
  if (!newGame) return;
  if (TicksSince(lastToggle) > BlinkMs) {
    blinkFrame = 1 - blinkFrame;
    newGame->SetImageOffset(blinkFrame);
    newGame->DrawOn(nullptr);
    lastToggle = GetTicks();
  }
}

// The blink borrows the button's image offset to call for a new game; once a round starts
// the button must show its own state again (normal, or lit under the pointer), not
// whichever half of the blink it was caught in.
void BalloonModule::StopBlink() {
  blinkFrame = 0;
  lastToggle = 0;
  if (!buttons) return;
  if (Button* newGame = buttons->Find("newgame")) newGame->SetImageOffset(0);
}

int BalloonModule::NextChange(int now) { return TheBalloonModule.NextChangeOf(TheBalloonState, now); }

int BalloonModule::NextChangeOf(BalloonState& round, int now) const {
  const BalloonModule& module = *this;
  // The rate text changes as it likes; a dialog runs frames of its own.
  if (ShowFrameRate || module.helpDialog || round.dirty || !round.pendingActions.empty() ||
      PauseWanted())
    return now;
  if (round.effects && round.effects->Count() > 0) return now;
  if (round.airplane && round.airplane->x > -round.airplane->width) return now;
  switch (round.GetState()) {
    case Title:
      // BlinkNewGame toggles once more than BlinkMs has gone by.
      return module.buttons ? module.lastToggle + BlinkMs + 1 : INT_MAX;
    case Playing:
      return INT_MAX;
    default:
      return now;
  }
}
