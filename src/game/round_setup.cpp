// Setting a round up and releasing what it holds.
#include <cstdlib>

#include "board/balloon_sprite.h"
#include "board/rising_sprite.h"
#include "game/balloon_state.h"
#include "game/player_profiles.h"
#include "game/round_end.h"
#include "platform/win32/kernel/profile.h"
#include "shell/app.h"
#include "sprites/sprite.h"
#include "surface/surface_helpers.h"

BalloonState TheBalloonState;

namespace {

constexpr const char* SetupFile = ".\\setup.ini";
constexpr int DefaultGameTime = 200;
constexpr int BoardColumns = 18, BoardRows = 14;
constexpr int ColourClearedSeconds = 30;
constexpr int SpareAuxD = 120;
constexpr float AirplaneStartY = 150.0f;
constexpr float AirplaneStep = -2.0f;
constexpr int AirplaneFrameDelay = 75;

// Rounds last at most an hour: the clock, its bonuses and the end-of-round count stay small.
constexpr int LongestGameTime = 3600;

// Read like atoi (a sign and the leading digits; anything else is 0), except that a number
// too big for the range counts as its nearest end instead of wrapping round.
long long ReadSetting(const char* key, const char* defaultValue) {
  char value[256] = {};
  GetPrivateProfileString("default", key, defaultValue, value, sizeof value, SetupFile);
  return std::strtoll(value, nullptr, 10);
}

int Clamp(long long value, int low, int high) {
  return value < low ? low : value > high ? high : static_cast<int>(value);
}

}  // namespace

BalloonState::BalloonState() = default;

// At exit the congratulation sprites may already be gone with their own file's globals, so
// the destructor releases only what the round state itself holds.
BalloonState::~BalloonState() { ReleaseRound(); }

// The round's settings come from setup.ini at every start. A group size below 1 pops
// exactly what 1 does, so it is stored as 1, and one above the board's size as that size;
// a round of no time (0 or less) is no game, so it gets the default length.
void BalloonState::NewRound() {
  EndRound();
  // A round is set up twice as it starts (asked for, then in its Starting frame); two
  // reveals a frame apart would sound as one, 6 dB too loud.
  if (GetState() != Starting) PlaySound("reveal");
  if (!board) board = new PtrArray<BalloonSprite>();
  if (!scoreDigits) {
    scoreDigits = new PtrArray<Surface>();
    LoadTiledBitmap("score.bmp", scoreDigits, 34, 21, nullptr);
  }
  if (!effects) effects = new PtrArray<RisingSprite>();
  FillBoard(154, 7, BoardColumns, BoardRows);
  minGroup = Clamp(ReadSetting("balloons", "2"), 1, BoardColumns * BoardRows);
  const long long seconds = ReadSetting("gametime", "200");
  SetGameTime(seconds > 0 ? Clamp(seconds, 1, LongestGameTime) : DefaultGameTime);
  char preview[8] = {};
  GetPrivateProfileString("setup", "preview", "1", preview, sizeof preview, SetupFile);
  previewOn = std::atoi(preview) != 0;
  SetAuxB(GetGameTime());
  SetAuxC(ColourClearedSeconds);
  SetAuxD(SpareAuxD);
  SetClockSeconds(GetGameTime());
  StopGameClock();
  SetScore(0);
  SetState(Starting);
  cursorColumn = cursorRow = 0;
  cursorShown = 0;
  MakePlayerEntry(nullptr);
  highScores.Init(kHallOfFameSize);
  highScores.Read("hiscore.dat");
  airplane = new Sprite();
  airplane->LoadTiles("airplane.bmp", 326, 106);
  airplane->x = static_cast<float>(-airplane->width);
  airplane->y = AirplaneStartY;
  airplane->vx = AirplaneStep;
  airplane->SetLoopMode(LoopRepeat);
  airplane->wrap = 1;
  airplane->SetFrameDelay(AirplaneFrameDelay);
  dirty = 1;
  closing = 0;
  lastPopScore = 0;
  endReason = EndStillPlaying;
}

void BalloonState::EndRound() {
  EndCongratulations();
  ReleaseRound();
}

void BalloonState::ReleaseRound() {
  highScores.Free();
  if (board) {
    board->DeleteAll();
    delete board;
    board = nullptr;
  }
  if (effects) {
    effects->DeleteAll();
    delete effects;
    effects = nullptr;
  }
  if (scoreDigits) {
    scoreDigits->DeleteAll();  // releases each surface
    delete scoreDigits;
    scoreDigits = nullptr;
  }
  delete airplane;
  airplane = nullptr;
}
