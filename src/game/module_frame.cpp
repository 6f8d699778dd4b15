// The module's frame: the four side buttons, live at all times, then the round.
#include <cstring>
#include <string>

#include "game/balloon_module.h"
#include "game/balloon_state.h"
#include "game/game_sounds.h"
#include "shell/app.h"
#include "shell/dialog_screen.h"
#include "shell/redraw_list.h"
#include "sprites/button.h"

namespace {
constexpr int BlinkMs = 500;
}

int BalloonModule::Frame(int) {
  if (!buttons) return 0;
  if (buttons->WasPressed("newgame")) TheBalloonState.NewRound();
  if (buttons->WasPressed("help") && !ShowHelp()) return QuitCode;
  if (buttons->WasPressed("exit")) return QuitCode;
  if (buttons->WasPressed("menu") && StartLauncher()) return QuitCode;
  if (TheBalloonState.Frame() == QuitCode) return QuitCode;
  return Present() ? 1 : 0;
}

// The rules picture in a dialog. 0 when the application is closing.
int BalloonModule::ShowHelp() {
  StopGameClock();
  PlayGameSound("click");
  auto* dialog = new DialogScreen();
  dialog->AddDialogPicture("title\\HowToPlay.bmp", nullptr);
  dialog->AddDefaultButton();
  char result[256] = {};  // Run fills a whole name-sized buffer
  if (!dialog->Run(result, "rules")) {
    delete dialog;
    return 0;
  }
  TheRedrawList.AddDialogArea(dialog);
  delete dialog;
  TheBalloonState.dirty = 1;
  TheBalloonState.DrawRound(TheRedrawList.GetBackground());
  // Reading the rules costs the player no time.
  if (TheBalloonState.GetState() == Playing) StartGameClock();
  return 1;
}

// Starts the launcher from the command line's folder. 1 when the game must end.
int BalloonModule::StartLauncher() {
  PlayGameSound("click");
  if (CommandLine[0] == '\0') return 0;
  const std::string path = std::string(CommandLine) + "\\Gatefold.exe";
  ShellExecute(nullptr, "open", path.c_str(), "Zorbit", CommandLine, SW_SHOWNORMAL);
  return 1;
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
