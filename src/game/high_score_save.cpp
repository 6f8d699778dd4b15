// Saving an entry when another copy of the game may be saving its own at the same time.
#include <cerrno>
#include <cstring>

#include "game/high_score_table.h"
#include "platform/files/file_lock.h"
#include "platform/files/paths.h"

EntrySave HighScoreTable::SaveEntry(const char* path, const char* text, int32_t score) {
  EntrySave save;
  if (!records_ || !path) {
    save.error = EINVAL;
    return save;
  }
  if ((save.error = MakeFoldersForWrite(path, &save.folder))) return save;
  save.folder.clear();
  FileLock lock;
  if (!lock.Acquire(MapPathForWrite(path), kSharedFileLockWaitMs)) {
    save.error = lock.Error();
    return save;
  }
  // A missing file leaves the table as this copy read it; otherwise the file is what counts.
  Load(path);
  HighScoreTable read;
  read.Init(count_);
  std::memcpy(read.records_.get(), records_.get(), sizeof(HighScoreRecord) * size_t(count_));
  if (!Insert(text, score)) return save;
  if (!Write(path, &save.error)) {
    *this = std::move(read);  // what the player is shown is what is kept
    return save;
  }
  save.placed = true;
  return save;
}
