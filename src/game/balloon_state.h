// BalloonState: everything about the game in progress (round state, score, board, effects,
// airplane, hall of fame, settings). One global instance, TheBalloonState.
//
// Where the operations live:
//   game/round_frame.cpp   Frame, DrawRound, score panel, time bar, ShowFor, AddTimeBonus, HandleClouds
//   game/round_setup.cpp   NewRound, EndRound
//   game/best_score_file.cpp  ReadBestScore, WriteBestScore
//   board/board_grid.cpp   FillBoard, cell conversions, DrawBoard, BoardEmpty
//   board/popping.cpp      HandleBoardMouse, PopAt, CollectGroup, CheckColourCleared, UpdateEffects
//   board/settling.cpp     settling, blowing rows, GroupExists, NoMovesLeft
//   game/player_profiles.cpp  MakePlayerEntry (with the player profiles)
//   game/round_end.cpp     the congratulations step and the game-over sequence
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "game/game_state.h"
#include "game/high_score_table.h"
#include "game/play_actions.h"
#include "shell/ptr_array.h"

class Sprite;
class BalloonSprite;
class RisingSprite;

// Why a round ended.
constexpr int32_t EndStillPlaying = 0;
constexpr int32_t EndNoMoveLeft = 1;
constexpr int32_t EndBoardCleared = 2;

// The round's frame result when play goes on.
constexpr int RoundContinue = 5;

class BalloonState : public GameState {
 public:
  BalloonState();
  ~BalloonState() override;

  // GameState overrides.
  void NewRound() override;
  void EndRound() override;
  // What EndRound releases of the round state's own: hall of fame, board, effects, tiles, airplane.
  void ReleaseRound();
  int ReadBestScore() override;
  void WriteBestScore() override;
  int Frame() override;

  // Drawing and pacing of the round.
  void DrawRound(Surface* surface);
  void ShowFor(int ms);
  void AddTimeBonus(int points, int seconds);
  int BoardEmpty();
  void HandleClouds();
  void StepAirplane();
  void DrawScorePanel();
  void DrawTimerBar(Surface* surface);
  // The clock and the sound signs, and keeping them steady around a dialog.
  void DrawStatus(Surface* surface);
  void DrawStatusUnderDialog();
  void TakeStatusFromScene();
  // The Playing state's part of Frame: input, then the tests that end the round.
  void PlayFrame(int x, int y, int buttonBits);
  // Out of moves or out of time: the airplane crosses, then the game-over pictures.
  void EnterEnding();

  // The current player's profile: sets playerId and the window title; with a buffer
  // (256 bytes) it also receives the player's hall-of-fame text.
  void MakePlayerEntry(char* buffer);

  // Board geometry and fill.
  void FillBoard(int x, int y, int cols, int rowCount);
  int CellAt(int x, int y) const;
  void CellColumnRow(int cell, int* column, int* row) const;
  int CellIndex(int column, int row) const { return row * columns + column; }
  void CellPosition(int cell, int* x, int* y) const;
  void DrawBoard();
  BalloonSprite* BalloonAt(int cell) const;

  // Popping and scoring.
  void HandleBoardMouse(int x, int y, int buttons);
  // A left click on a cell: pop its group and settle (the keyboard's pop too).
  void ClickCell(int cell);
  void PopAt(int cell);
  void CollectGroup(int cell, PtrArray<BalloonSprite>* group);
  void CheckColourCleared(int colour);
  void UpdateEffects(Surface* destination);

  // Settling and blowing rows.
  int FindFloatTarget(int cell);
  void MoveBalloon(BalloonSprite* balloon, int cell);
  int FloatUp(BalloonSprite* balloon);
  int SettleBoard();
  int RowCanBlowRight(int row);
  int RowCanBlowLeft(int row);
  int BlowRowRight(int row);
  int BlowRowLeft(int row);
  int GroupExists();
  int NoMovesLeft();

  // The keyboard's and gamepad's cell cursor (game/play_actions.cpp).
  void MoveCursor(int dColumn, int dRow);
  void BoardAction(PlayAction action);
  void DrawCursor(Surface* surface);

  // The preview of the group under the pointer, or under the ring while it is shown: a soft
  // outline and a label with what popping it would pay (game/pop_preview.cpp). Drawn on the
  // back surface only; changes nothing.
  void DrawPopPreview(int x, int y);

  // Every sound of the round goes through here ("pop1", "blow", ...).
  void PlaySound(const char* name);

  // Board geometry: the first own fields.
  int32_t originX = 0, originY = 0;
  int32_t columns = 0, rows = 0;
  int32_t cellWidth = 0, cellHeight = 0;
  int32_t minGroup = 0;
  PtrArray<BalloonSprite>* board = nullptr;  // owned; index = row * columns + column
  PtrArray<Surface>* scoreDigits = nullptr;  // owned; score pop-up tiles
  PtrArray<RisingSprite>* effects = nullptr; // owned; pictures in flight
  Sprite* airplane = nullptr;                // owned
  int32_t dirty = 0;
  int32_t endReason = EndStillPlaying;
  int32_t lastPopScore = 0;
  int32_t effectsShowing = 0;
  HighScoreTable highScores;

  // [setup] preview of setup.ini (on unless 0), read at every round start.
  bool previewOn = true;
  // What the label shows now: the points of the group under the pointer; 0 when none.
  int32_t previewPoints = 0;

  // Mouse buttons seen by the previous HandleBoardMouse; -1 before the first.
  int32_t previousButtons = -1;
  // The cell cursor: starts each round at column 0, row 0, hidden; the mouse hides it.
  int32_t cursorColumn = 0, cursorRow = 0;
  int32_t cursorShown = 0;
  // Keyboard and gamepad actions for the board, carried out by this frame's play.
  std::vector<PlayAction> pendingActions;

  // Balloons floated up since a settle last showed a frame (every third one shows).
  int32_t moveCounter = 0;

  // Test seams: when set, these replace the pauses and the sounds of the round.
  std::function<void(int ms)> showHook;
  // Set when a close came while a frame was showing its steps: the rest of the frame's
  // steps are not shown, so the program ends without waiting for them.
  int closing = 0;
  std::function<void(const char* name)> soundHook;
};

extern BalloonState TheBalloonState;

// Draws text right-aligned at rightEdge with a strip of ten digits and, if it has one, a
// comma; any other character leaves a gap of one digit.
void DrawNumber(Sprite* digits, int rightEdge, int y, const char* text, Surface* surface);
// What a group of n balloons with that many stars pays: 100, 200, ... for its balloons, and
// twice that again for each star.
int GroupPoints(int balloons, int stars);
// The time bar's frame: 0 for a full round, 36 for no time left.
int TimerBarFrame(int secondsLeft, int gameTime);
