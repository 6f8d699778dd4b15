// The best-score slots of the round state: both layouts live with the hall of fame's file code.
#include "game/balloon_state.h"
#include "game/high_score_table.h"

namespace {
constexpr const char* BestScoreFile = "hiscore.dat";
}

int GameState::ReadBestScore() {
  return ReadTenBestScores(BestScoreFile, bestScores, playerId, bestScore);
}

void GameState::WriteBestScore() {
  WriteTenBestScores(BestScoreFile, bestScores, playerId, bestScore);
}

int BalloonState::ReadBestScore() { return ReadPlayerBestScore(BestScoreFile, playerId); }

void BalloonState::WriteBestScore() {
  WritePlayerBestScore(BestScoreFile, playerId, ReadBestScore());
}
