#include "game/round_end.h"

#include <cerrno>
#include <memory>
#include <string>

#include "game/balloon_module.h"
#include "game/balloon_state.h"
#include "platform/files/file_lock.h"
#include "platform/files/file_replace.h"
#include "platform/replay/replay.h"
#include "platform/win32/window/win.h"
#include "shell/app.h"
#include "shell/dialog_screen.h"
#include "shell/redraw_list.h"
#include "sprites/sprite.h"

namespace {

constexpr const char* kHallOfFameFile = "hiscore.dat";
constexpr int kGameOverMs = 2000;
constexpr int kHallOfFameMs = 1000;
constexpr int kBlinkMs = 500;

RoundEndHooks hooks;

std::unique_ptr<Sprite> banner;
std::unique_ptr<Sprite> blinker;
std::unique_ptr<Sprite> footer;
int nextBlink = 0;

// Each drawing step goes through here so tests can follow the sequence without a screen.
void DrawRoundOnBack() {
  if (hooks.draw) return hooks.draw("round");
  TheBalloonState.DrawRound(TheRedrawList.GetBackSurface());
}

void AddFullScreen() {
  if (hooks.draw) return hooks.draw("add full screen");
  TheRedrawList.AddFullScreen();
}

void RefreshFullScreen() {
  if (hooks.draw) return hooks.draw("refresh full screen");
  TheRedrawList.RefreshFullScreen();
}

void PresentModule() {
  if (hooks.draw) return hooks.draw("present");
  TheBalloonModule.Present();
}

// Shows one picture modally until its deadline (or a click on its default button).
int RunPicture(const char* picture, int defaultButton, int durationMs) {
  if (hooks.runPicture) return hooks.runPicture(picture, defaultButton, durationMs);
  auto dialog = std::make_unique<DialogScreen>();
  dialog->AddDialogPicture(picture, nullptr);
  if (defaultButton) dialog->AddDefaultButton();
  dialog->SetDeadline(GetTicks() + durationMs);
  char result[256] = {};
  return dialog->Run(result, nullptr);
}

void PlaceSprite(Sprite& sprite, float x, float y) {
  sprite.x = x;
  sprite.y = y;
}

void CreateCongratulations() {
  banner = std::make_unique<Sprite>();
  blinker = std::make_unique<Sprite>();
  footer = std::make_unique<Sprite>();
  if (!hooks.draw) {
    banner->LoadStrip("congrats1.bmp", 1, 0);
    blinker->LoadFrame("congrats2.bmp");
    blinker->LoadFrame("congrats3.bmp");
    footer->LoadFrame("congrats4.bmp");
  }
  PlaceSprite(*banner, 264.0f, 56.0f);
  blinker->SetCurrentFrame(0);
  PlaceSprite(*blinker, 154.0f, 124.0f);
  footer->SetCurrentFrame(0);
  PlaceSprite(*footer, 326.0f, 419.0f);
}

void DrawCongratulations() {
  if (hooks.draw) return hooks.draw("congratulations");
  Surface* back = TheRedrawList.GetBackSurface();
  banner->DrawTo(back);
  blinker->DrawTo(back);
  footer->DrawTo(back);
}

}  // namespace

void SetRoundEndHooks(RoundEndHooks newHooks) { hooks = std::move(newHooks); }

int HallOfFamePicture() {
  PresentModule();
  TheBalloonState.dirty = 1;
  DrawRoundOnBack();
  return RunPicture("hallfamepop.bmp", 0, kHallOfFameMs);
}

int OfferToHallOfFame(char* buffer) {
  TheBalloonState.MakePlayerEntry(buffer);
  const EntrySave save =
      TheBalloonState.highScores.SaveEntry(kHallOfFameFile, buffer, TheBalloonState.GetScore());
  if (save.error) {
    // The score did not enter the kept table, so the picture that says it did is not shown.
    TellSaveFailed(save);
    return 1;
  }
  if (!save.placed) return 1;
  // The running recording becomes this entry's replay.
  ReplayNoteHallOfFameEntry(buffer, TheBalloonState.GetScore());
  return HallOfFamePicture();
}

std::string SaveFailedText(const EntrySave& save) {
  std::string cause;
  if (save.error == EWOULDBLOCK) {
    cause = "another copy of the game kept it busy for " +
            std::to_string(kSharedFileLockWaitMs / 1000) + " seconds";
  } else if (!save.folder.empty()) {
    cause = "the folder " + save.folder + " could not be made: " + FileErrorText(save.error);
  } else {
    cause = FileErrorText(save.error);
  }
  return "Your score could not be saved in " + std::string(kHallOfFameFile) + " (" + cause +
         "); the hall of fame keeps its old table.";
}

void TellSaveFailed(const EntrySave& save) {
  const std::string text = SaveFailedText(save);
  if (hooks.saveFailed) return hooks.saveFailed(text);
  MessageBox(MainWindow, text.c_str(), "Zorbit", MB_OK | MB_ICONERROR);
}

int GameOverSequence() {
  StopGameClock();
  DrawRoundOnBack();
  AddFullScreen();
  const char* picture = "GameOverNMM.bmp";
  if (TheBalloonState.endReason != EndNoMoveLeft) {
    TheBalloonState.PlaySound("thunder");
    picture = "GameOverOOT.bmp";
  }
  if (!RunPicture(picture, 1, kGameOverMs)) return 0;
  char text[256] = {};
  if (!OfferToHallOfFame(text)) return 0;
  RefreshFullScreen();
  TheBalloonState.SetState(Title);
  TheBalloonState.dirty = 1;
  return 1;
}

int CongratulationsStep(int buttons) {
  if (!banner) {
    StopGameClock();
    RefreshFullScreen();
    DrawRoundOnBack();
    CreateCongratulations();
  }
  DrawCongratulations();
  if (buttons == 0) {
    if (nextBlink < GetTicks()) {
      nextBlink = GetTicks() + kBlinkMs;
      blinker->SetCurrentFrame(1 - blinker->currentFrame);
    }
    return 1;
  }
  EndCongratulations();
  TheBalloonState.SetState(Title);
  char text[256] = {};
  return OfferToHallOfFame(text);
}

void EndCongratulations() {
  nextBlink = 0;
  banner.reset();
  blinker.reset();
  footer.reset();
}

int CongratulationsBlinkFrame() { return blinker ? blinker->currentFrame : -1; }
bool CongratulationsShowing() { return banner != nullptr; }
