// The round's frame: the state machine, and the drawing of the round (board, airplane,
// effects, score panel, time bar).
#include <cstdio>

#include "game/balloon_module.h"
#include "game/balloon_state.h"
#include "game/game_sounds.h"
#include "game/round_end.h"
#include "game/sound_signs.h"
#include "platform/win32/display/dalk.h"
#include "shell/app.h"
#include "shell/mouse_state.h"
#include "shell/redraw_list.h"
#include "sprites/sprite.h"

namespace {

constexpr int ClearedBonus = 500000;
constexpr int PointsPerSecondLeft = 1000;
constexpr int TimerFrames = 36;  // frame 0 full, 36 empty
constexpr float TimerX = 2.0f, TimerY = 208.0f;
constexpr float LightningX = 17.0f, LightningY = 264.0f;
// The airplane crosses the screen from the right edge when a round is lost.
constexpr float AirplaneFlightStep = -12.0f;
constexpr int CloudRows = 14;

}  // namespace

// Draws the digits of text right-aligned at rightEdge; other characters leave a gap.
void DrawNumber(Sprite* digits, int rightEdge, int y, const char* text, Surface* surface) {
  if (!digits) return;
  const int digitWidth = digits->width / 10;
  int length = 0;
  while (text[length]) ++length;
  int x = rightEdge - length * digitWidth;
  for (const char* c = text; *c; ++c) {
    if (*c >= '0' && *c <= '9') {
      digits->SetCurrentFrame(*c - '0');
      digits->x = static_cast<float>(x);
      digits->y = static_cast<float>(y);
      digits->DrawTo(surface);
    }
    x += digitWidth;
  }
}

int BalloonState::Frame() {
  int x = 0, y = 0, buttonBits = 0;
  TheMouseState.GetState(&x, &y, &buttonBits);
  if (ButtonSet* set = TheBalloonModule.buttons.get()) {
    set->MouseInput(x, y, buttonBits);
    set->UpdateAll();
  }
  switch (GetState()) {
    case Title:
      TheBalloonModule.BlinkNewGame();
      break;
    case Playing:
      PlayFrame(x, y, buttonBits);
      break;
    case Starting:
      TheBalloonModule.StopBlink();
      NewRound();
      SetState(Playing);
      TheRedrawList.RefreshFullScreen();
      StartGameClock();
      break;
    case Cleared: {
      // The keyboard's and gamepad's pop stands for the click that ends the congratulations.
      bool pop = false;
      for (PlayAction a : pendingActions) pop = pop || a == PlayAction::Pop;
      pendingActions.clear();
      if (!CongratulationsStep(buttonBits | (pop ? 1 : 0))) return QuitCode;
      break;
    }
    case Ending:
      // The game-over pictures wait until the airplane has left the screen.
      if (airplane && airplane->x > -airplane->width) break;
      if (!GameOverSequence()) return QuitCode;
      break;
    default:
      break;
  }
  pendingActions.clear();  // what a state without a board had asked for is void
  DrawRound(TheRedrawList.GetBackSurface());
  DrawPopPreview(x, y);
  return RoundContinue;
}

void BalloonState::PlayFrame(int x, int y, int buttonBits) {
  HandleBoardMouse(x, y, buttonBits);
  // Taken out first: a pop's pauses draw and present, which must not run them again.
  std::vector<PlayAction> actions;
  actions.swap(pendingActions);
  for (PlayAction action : actions) BoardAction(action);
  HandleClouds();
  const bool cleared = BoardEmpty();
  if (cleared) {
    SetScore(GetScore() + ClearedBonus);
    PlaySound("allpop");
    StopGameClock();
    AddTimeBonus(PointsPerSecondLeft, GetClockSeconds());
    SetState(Cleared);
    endReason = EndBoardCleared;
  } else if (NoMovesLeft()) {
    if (!effectsShowing) EnterEnding();
    endReason = EndNoMoveLeft;
  } else {
    endReason = EndStillPlaying;
  }
  if (!cleared && GetState() == Playing && GetClockSeconds() == 0 && !effectsShowing)
    EnterEnding();
}

void BalloonState::EnterEnding() {
  SetState(Ending);
  if (airplane) {
    airplane->x = static_cast<float>(ScreenWidth > 0 ? ScreenWidth : 800);
    airplane->vx = AirplaneFlightStep;
  }
}

void BalloonState::DrawRound(Surface* surface) {
  DrawBoard();
  StepAirplane();
  UpdateEffects(surface);
  // Drawn over the shown picture only, never into the scene behind it.
  if (surface != TheRedrawList.GetBackground()) DrawCursor(surface);
  DrawScorePanel();
  DrawSoundSigns(TheBalloonModule.soundSigns, surface);
  DrawTimerBar(surface);
  // Over the lightning when the time is out, and never into the scene behind the picture:
  // it says how the picture is being shown.
  if (surface != TheRedrawList.GetBackground())
    DrawPlaybackSign(TheBalloonModule.previewPlate, TheBalloonModule.smallFont, surface);
}

void BalloonState::StepAirplane() {
  if (!airplane || !(airplane->x > -airplane->width)) return;
  airplane->Move();
  airplane->DrawTo(BackSurface);
  airplane->NextFrame();
}

void BalloonState::DrawScorePanel() {
  TheRedrawList.AddArea(0, 50, 83, 136);
  Surface* scene = TheRedrawList.GetBackground();
  if (!scene) return;
  Sprite* font = TheBalloonModule.scoreFont;
  char text[16];
  std::snprintf(text, sizeof text, "%d", highScores.HasRecords() ? highScores.TopScore() : 0);
  DrawNumber(font, 77, 57, text, scene);
  std::snprintf(text, sizeof text, "%d", GetScore());
  DrawNumber(font, 77, 99, text, scene);
  std::snprintf(text, sizeof text, "%d", lastPopScore);
  DrawNumber(font, 73, 153, text, scene);
}

int TimerBarFrame(int secondsLeft, int gameTime) {
  double r = 0.0;
  if (gameTime > 0)
    r = static_cast<double>(secondsLeft) / gameTime * TimerFrames;
  else if (secondsLeft > 0)
    r = TimerFrames;  // no length to measure against: show the time as full
  if (r > TimerFrames) r = TimerFrames;
  if (r < 0) r = 0;
  return TimerFrames - static_cast<int>(r);
}

void BalloonState::DrawTimerBar(Surface* surface) {
  const int seconds = GetClockSeconds();
  if (Sprite* bar = TheBalloonModule.timerBar) {
    bar->SetCurrentFrame(TimerBarFrame(seconds, GetGameTime()));
    bar->x = TimerX;
    bar->y = TimerY;
    bar->DrawTo(surface);
  }
  if (seconds == 0) {
    if (Sprite* bolt = TheBalloonModule.lightning) {
      bolt->x = LightningX;
      bolt->y = LightningY;
      bolt->DrawTo(surface);
    }
  }
}

void BalloonState::AddTimeBonus(int points, int seconds) {
  for (int i = 0; i < seconds; ++i) {
    if (closing) {
      // The player still gets what is left, all at once.
      SetScore(GetScore() + points * GetClockSeconds());
      SetClockSeconds(0);
      return;
    }
    SetClockSeconds(GetClockSeconds() - 1);
    SetScore(GetScore() + points);
    ShowFor(1);
  }
}

void BalloonState::ShowFor(int ms) {
  dirty = 1;
  if (showHook) {
    showHook(ms);
    return;
  }
  const int start = GetTicks();
  while (!closing && TicksSince(start) < ms) {
    if (PumpMessagesUntilClose()) {
      closing = 1;
      break;
    }
    DrawRound(BackSurface);
    LimitFrameRate(100);
    FramesPerSecond = DalkGetFPS();
    TheBalloonModule.Present();
  }
}

void BalloonState::HandleClouds() {
  ButtonSet* set = TheBalloonModule.buttons.get();
  if (!set) return;
  char name[16];
  for (int i = 0; i < CloudRows; ++i) {
    std::snprintf(name, sizeof name, "Air%dr", i);
    if (set->WasPressed(name)) BlowRowRight(i);
  }
  for (int i = 0; i < CloudRows; ++i) {
    std::snprintf(name, sizeof name, "Air%dl", i);
    if (set->WasPressed(name)) BlowRowLeft(i);
  }
  SettleBoard();
}

void BalloonState::PlaySound(const char* name) {
  if (soundHook)
    soundHook(name);
  else
    PlayGameSound(name);
}
