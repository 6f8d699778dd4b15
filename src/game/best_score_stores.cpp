// The two older best-score layouts that share the hall of fame's file name. Nothing in the
// game calls them; they are kept working and bounded to their own tables.
#include <cstdio>
#include <cstring>

#include "game/high_score_table.h"
#include "platform/files/paths.h"

namespace {

constexpr int kTenScores = 10;
constexpr int kPlayerRecords = 6;
constexpr size_t kPlayerRecordSize = 32 + 4;

int32_t LoadInt32(const unsigned char* p) {
  return int32_t(uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 |
                 uint32_t(p[3]) << 24);
}

void StoreInt32(unsigned char* p, int32_t value) {
  for (int i = 0; i < 4; ++i) p[i] = (uint32_t(value) >> (8 * i)) & 0xFF;
}

}  // namespace

int ReadTenBestScores(const char* path, int32_t (&bestScores)[10], int playerId,
                      int32_t& bestScore) {
  FILE* f = OpenFile(path, "rb");
  if (!f) {
    bestScore = 0;
    return 0;
  }
  unsigned char bytes[kTenScores * 4] = {};
  size_t got = std::fread(bytes, 1, sizeof bytes, f) / 4;
  std::fclose(f);
  for (size_t i = 0; i < got; ++i) bestScores[i] = LoadInt32(bytes + 4 * i);
  bestScore = playerId >= 0 && playerId < kTenScores ? bestScores[playerId] : 0;
  return bestScore;
}

void WriteTenBestScores(const char* path, int32_t (&bestScores)[10], int playerId,
                        int32_t bestScore) {
  if (playerId >= 0 && playerId < kTenScores) bestScores[playerId] = bestScore;
  unsigned char bytes[kTenScores * 4];
  for (int i = 0; i < kTenScores; ++i) StoreInt32(bytes + 4 * i, bestScores[i]);
  WriteFileAtomically(path, bytes, sizeof bytes);
}

int ReadPlayerBestScore(const char* path, int playerId) {
  FILE* f = OpenFile(path, "rb");
  if (!f) return 0;
  unsigned char record[kPlayerRecordSize];
  for (int i = 0; i < kPlayerRecords; ++i) {
    if (std::fread(record, 1, sizeof record, f) != sizeof record) break;
    if (i == playerId) {
      std::fclose(f);
      return LoadInt32(record + 32);
    }
  }
  std::fclose(f);
  return 0;
}

void WritePlayerBestScore(const char* path, int playerId, int32_t score) {
  FILE* f = OpenFile(path, "rb");
  if (!f) return;
  unsigned char records[kPlayerRecords * kPlayerRecordSize] = {};
  std::fread(records, 1, sizeof records, f);
  std::fclose(f);
  if (playerId >= 0 && playerId < kPlayerRecords)
    StoreInt32(records + playerId * kPlayerRecordSize + 32, score);
  WriteFileAtomically(path, records, sizeof records);
}
