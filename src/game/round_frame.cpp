// The round's frame: the state machine, and the drawing of the round (board, airplane,
// effects, score panel, time bar).
#include <cstdio>

#include "game/balloon_module.h"
#include "game/balloon_state.h"
#include "game/game_sounds.h"
#include "game/points_text.h"
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
// The clock, the lightning and the sound signs under them.
constexpr int StatusLeft = 0, StatusTop = 206, StatusWidth = 88, StatusHeight = 130;

}  // namespace

// Draws text right-aligned at rightEdge: digits from the strip's first ten frames, a comma
// from its eleventh (a third of a digit wide); other characters leave a digit's gap.
void DrawNumber(Sprite* digits, int rightEdge, int y, const char* text, Surface* surface) {
  if (!digits || digits->FrameCount() == 0) return;
  const int digitWidth = digits->width / digits->FrameCount();
  const bool hasComma = digits->FrameCount() > 10;
  auto advance = [&](char c) { return c == ',' && hasComma ? digitWidth / 3 : digitWidth; };
  int x = rightEdge;
  for (const char* c = text; *c; ++c) x -= advance(*c);
  for (const char* c = text; *c; ++c) {
    int frame = -1;
    if (*c >= '0' && *c <= '9') frame = *c - '0';
    if (*c == ',' && hasComma) frame = 10;
    if (frame >= 0) {
      digits->SetCurrentFrame(frame);
      digits->x = static_cast<float>(x);
      digits->y = static_cast<float>(y);
      digits->DrawTo(surface);
    }
    x += advance(*c);
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
  DrawStatus(surface);
  // Over the lightning when the time is out, and never into the scene behind the picture:
  // it says how the picture is being shown.
  if (surface != TheRedrawList.GetBackground())
    DrawPlaybackSign(TheBalloonModule.previewPlate, TheBalloonModule.smallFont, surface);
}

void BalloonState::DrawStatus(Surface* surface) {
  DrawSoundSigns(TheBalloonModule.soundSigns, surface);
  DrawTimerBar(surface);
}

// A dialog swaps the scene for its own page, so nothing is given back to the screen while it
// shows; but the back buffer it first draws on was given back to the scene after the last
// present, and the scene has only the clock's empty seat. Drawn there now, the clock and the
// signs show on both buffers instead of blinking out every other frame.
void BalloonState::DrawStatusUnderDialog() {
  Surface* back = TheRedrawList.GetBackSurface();
  DrawStatus(back);
  DrawPlaybackSign(TheBalloonModule.previewPlate, TheBalloonModule.smallFont, back);
}

// Closing a dialog draws the round into the scene, the clock and the signs included: they
// leave it again (on both buffers), or a sign switched off later would stay on the panel.
void BalloonState::TakeStatusFromScene() {
  TheRedrawList.AddArea(StatusLeft, StatusTop, StatusWidth, StatusHeight);
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
  char text[24];
  FormatPoints(highScores.HasRecords() ? highScores.TopScore() : 0, text, sizeof text);
  DrawNumber(font, 77, 57, text, scene);
  FormatPoints(GetScore(), text, sizeof text);
  DrawNumber(font, 77, 99, text, scene);
  FormatPoints(lastPopScore, text, sizeof text);
  DrawNumber(font, 77, 153, text, scene);
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
