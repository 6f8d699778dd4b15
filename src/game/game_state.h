// GameState: the base of the round-state object. Its virtual operations keep a fixed slot
// order; the balloon game overrides the round set-up, the best-score store and the frame.
#pragma once

#include <cstdint>

// Round states stored in GameState::state.
enum RoundState : int32_t {
  Title = 0,      // a game is over; "newgame" blinks
  Playing = 1,    // the board is live
  Starting = 9,   // NewRound has run; play starts on the next frame
  Cleared = 13,   // the board was cleared; congratulations until a click
  Ending = 14,    // no move left or out of time; game over
};

class GameState {
 public:
  GameState() = default;
  virtual ~GameState() = default;
  GameState(const GameState&) = delete;
  GameState& operator=(const GameState&) = delete;

  virtual void NewRound() {}                      // slot 0
  virtual void EndRound() {}                      // slot 1
  virtual void Reserved2() {}                     // slot 2
  virtual void Reserved3() {}                     // slot 3
  virtual int ReadBestScore();                    // slot 4
  virtual void WriteBestScore();                  // slot 5
  virtual int Frame() { return -1; }              // slot 6
  virtual int32_t GetState() { return state; }    // slot 7
  virtual void SetState(int32_t s) { state = s; } // slot 8
  virtual int32_t SetScore(int32_t s) { return score = s; }  // slot 9
  virtual int32_t GetScore() { return score; }    // slot 10
  virtual void SetBestScore(int32_t s) { bestScore = s; }    // slot 11
  virtual void SetAuxB(int32_t v) { auxB = v; }   // slot 12
  virtual int32_t GetAuxB() { return auxB; }      // slot 13
  virtual void SetAuxC(int32_t v) { auxC = v; }   // slot 14
  virtual int32_t GetAuxC() { return auxC; }      // slot 15
  virtual void SetAuxD(int32_t v) { auxD = v; }   // slot 16
  virtual int32_t GetAuxD() { return auxD; }      // slot 17
  virtual void SetGameTime(int32_t t) { gameTime = t; }  // slot 18
  virtual int32_t GetGameTime() { return gameTime; }     // slot 19
  virtual void SetAuxA(int32_t v) { auxA = v; }   // slot 20
  virtual int32_t GetAuxA() { return auxA; }      // slot 21
  virtual void SetPlayerId(int32_t id) { playerId = id; }  // slot 22
  virtual int32_t GetPlayerId() { return playerId; }       // slot 23

  int32_t state = Title;
  int32_t score = 0;
  int32_t bestScore = 0;
  int32_t playerId = 0;
  int32_t bestScores[10] = {};
  int32_t auxA = 0;
  int32_t auxB = 0;
  int32_t auxC = 0;  // seconds added to the clock when a colour is cleared
  int32_t gameTime = 0;
  int32_t auxD = 0;
};
