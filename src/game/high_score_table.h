// The hall of fame: a fixed table of the best scores with the text of the player who made
// each, kept in "hiscore.dat" (a 4-byte count, then 256 text bytes and a 4-byte score per
// record, little-endian: 5204 bytes for 20 records).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/replay/replay.h"

// What saving one entry came to.
struct EntrySave {
  bool placed = false;  // the entry is in the table that was written
  int error = 0;        // 0, or the errno of the first step that failed (EWOULDBLOCK: the
                        // lock stayed busy)
  std::string folder;   // the folder that could not be made, when that was the failure
};

struct HighScoreRecord {
  char text[256];  // NUL-terminated; bytes after the terminator mean nothing
  int32_t score;
};
static_assert(sizeof(HighScoreRecord) == 260, "a record is stored exactly as in the file");

constexpr int kHallOfFameSize = 20;
constexpr size_t kHighScoreTextSize = sizeof(HighScoreRecord::text);

// What a file held when the table was read from it.
enum class TableFile {
  Missing,     // no file: the records stay as they were
  Sound,       // a whole table of our count
  Unreadable,  // another count, a wrong size or no table at all: only its sound records kept
};

class HighScoreTable {
 public:
  // Drops the records and allocates n zeroed ones.
  void Init(int n);
  // Releases the records; the count keeps its value for the next Read to compare against.
  void Free();
  // Places the score above the first record it strictly beats (earlier entries win ties),
  // dropping the last record. 1 if placed, else 0.
  int Insert(const char* text, int32_t score);
  // Reads the table from the file. An unreadable one leaves the records it holds whole, in
  // order and terminated, from the first on (the rest are cleared), so that a count that
  // is off or a cut tail loses no more than it must.
  TableFile Load(const char* path);
  // The same from bytes already in memory (the file's whole contents).
  TableFile LoadFromBytes(const unsigned char* data, size_t size);
  // 1 when the file held a sound table; 0 otherwise (records then as Load leaves them).
  int Read(const char* path) { return Load(path) == TableFile::Sound ? 1 : 0; }
  int ReadFromBytes(const unsigned char* data, size_t size) {
    return LoadFromBytes(data, size) == TableFile::Sound ? 1 : 0;
  }
  // Writes the table so that the old file stays whole until the new one is complete. A
  // file there that is not a sound table is first kept beside it under a new name (see
  // KeepUnreadableTable). On failure error (when given) receives the errno of the step that
  // failed.
  int Write(const char* path, int* error = nullptr) const;
  // Enters one score into the table kept at path, keeping whatever other copies of the game
  // saved there since this one read it: under the lock beside the file the table is read
  // afresh, the entry placed and the table written back. The records then are what the file
  // holds (with the entry when it was placed and written); after a busy lock they stay.
  EntrySave SaveEntry(const char* path, const char* text, int32_t score);
  int32_t TopScore() const;

  int32_t Count() const { return count_; }
  bool HasRecords() const { return records_ != nullptr; }
  // Null when the table has no records or i is out of range.
  const HighScoreRecord* Record(int i) const;
  // The file image of the table: what Write stores.
  std::string Serialize() const;

 private:
  void ClearFrom(int first);

  std::unique_ptr<HighScoreRecord[]> records_;
  int32_t count_ = 0;
};

// The table as a JSON list [{"text":..., "score":...}, ...] for the state dump.
std::string HallOfFameJson(const HighScoreTable& table);

// When the file at path exists and is not a sound table of count records, renames it to
// "<path>.unreadable-<date>-<time>" and says so on standard error, so that no write destroys
// a table we could not read. 0 when nothing was in the way or it was moved; else an errno.
int KeepUnreadableTable(const char* path, int32_t count);

// Prints the hall of fame in "hiscore.dat" (the player's, or the current folder's with --data)
// as a table for `--scores`.
// 1 when the file was read, else 0 (the message says why).
int PrintHallOfFame(FILE* out);
// The entries of "hiscore.dat" in the current folder; nullopt when it is missing or cannot
// be read whole (nobody then knows which entries stand).
std::optional<std::vector<HallOfFameEntry>> StandingHallOfFame();

// Writes size bytes to a file beside path and replaces path with it only once it is
// complete and on disk. 1 on success; on failure the old file is left as it was and error
// (when given) receives the errno of the step that failed.
int WriteFileAtomically(const char* path, const void* data, size_t size, int* error = nullptr);

// The two best-score stores that share the file name with other layouts (no game code
// calls them; GameState's slots 4 and 5 forward here).
//
// Ten int32 best scores indexed by player. Read: bestScore = bestScores[playerId]; returns
// it, or 0 with bestScore = 0 when the file cannot be opened.
int ReadTenBestScores(const char* path, int32_t (&bestScores)[10], int playerId,
                      int32_t& bestScore);
void WriteTenBestScores(const char* path, int32_t (&bestScores)[10], int playerId,
                        int32_t bestScore);
// Six records of a 32-byte name and an int32 score, record i for player i.
int ReadPlayerBestScore(const char* path, int playerId);
// Rewrites the six records with record playerId's score set to score; nothing when the
// file cannot be read. BalloonState passes what its ReadBestScore returns.
void WritePlayerBestScore(const char* path, int playerId, int32_t score);
