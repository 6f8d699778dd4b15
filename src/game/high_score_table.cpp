#include "game/high_score_table.h"

#include <cerrno>
#include <cstring>
#include <ctime>
#include <string>

#include "platform/files/file_replace.h"
#include "platform/files/paths.h"

namespace {

constexpr size_t kCountSize = 4;
constexpr size_t kRecordSize = kHighScoreTextSize + 4;

int32_t LoadInt32(const unsigned char* p) {
  uint32_t v = uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
  return int32_t(v);
}

void StoreInt32(std::string& out, int32_t value) {
  uint32_t v = uint32_t(value);
  for (int i = 0; i < 4; ++i) out.push_back(char((v >> (8 * i)) & 0xFF));
}

// Copies text as a terminated string into a cleared field, cut to fit.
void CopyText(char (&field)[kHighScoreTextSize], const char* text) {
  std::memset(field, 0, sizeof field);
  if (text) std::strncpy(field, text, sizeof field - 1);
}

}  // namespace

void HighScoreTable::Init(int n) {
  records_.reset();
  if (n < 0) n = 0;
  records_ = std::make_unique<HighScoreRecord[]>(size_t(n));  // value-initialised: zeros
  count_ = n;
}

void HighScoreTable::Free() { records_.reset(); }

int HighScoreTable::Insert(const char* text, int32_t score) {
  if (!records_) return 0;
  // Taken before shifting: the text may be one of our own records.
  HighScoreRecord entry;
  CopyText(entry.text, text);
  entry.score = score;
  for (int i = 0; i < count_; ++i) {
    if (score > records_[i].score) {
      for (int j = count_ - 1; j > i; --j) records_[j] = records_[j - 1];
      records_[i] = entry;
      return 1;
    }
  }
  return 0;
}

int32_t HighScoreTable::TopScore() const {
  return records_ && count_ > 0 ? records_[0].score : 0;
}

const HighScoreRecord* HighScoreTable::Record(int i) const {
  if (!records_ || i < 0 || i >= count_) return nullptr;
  return &records_[i];
}

void HighScoreTable::ClearFrom(int first) {
  for (int i = first; i < count_; ++i) records_[i] = HighScoreRecord{};
}

TableFile HighScoreTable::LoadFromBytes(const unsigned char* data, size_t size) {
  if (!records_) return TableFile::Unreadable;
  const bool sound = size == kCountSize + kRecordSize * size_t(count_) &&
                     LoadInt32(data) == count_;
  ClearFrom(0);
  const unsigned char* p = data + kCountSize;
  size_t left = size >= kCountSize ? size - kCountSize : 0;
  for (int i = 0; i < count_ && left >= kRecordSize; ++i) {
    HighScoreRecord r;
    std::memcpy(r.text, p, kHighScoreTextSize);
    r.score = LoadInt32(p + kHighScoreTextSize);
    if (sound) {
      r.text[kHighScoreTextSize - 1] = '\0';  // a text with no terminator is cut, never overrun
    } else if (!std::memchr(r.text, '\0', kHighScoreTextSize) || r.score < 0 ||
               (i > 0 && r.score > records_[i - 1].score)) {
      break;  // from here on nothing in the file can be trusted
    }
    records_[i] = r;
    p += kRecordSize;
    left -= kRecordSize;
  }
  return sound ? TableFile::Sound : TableFile::Unreadable;
}

TableFile HighScoreTable::Load(const char* path) {
  if (!records_ || !path) return TableFile::Missing;
  FILE* f = OpenFile(path, "rb");
  if (!f) return TableFile::Missing;
  // One byte more than a table holds tells a longer file from a whole one.
  std::string bytes(kCountSize + kRecordSize * size_t(count_) + 1, '\0');
  size_t got = std::fread(bytes.data(), 1, bytes.size(), f);
  // A folder opens but reads nothing: it is no table, damaged or not, and stays untouched.
  const bool failed = std::ferror(f) != 0;
  std::fclose(f);
  if (failed) return TableFile::Missing;
  return LoadFromBytes(reinterpret_cast<const unsigned char*>(bytes.data()), got);
}

std::string HighScoreTable::Serialize() const {
  std::string out;
  out.reserve(kCountSize + kRecordSize * size_t(count_));
  StoreInt32(out, count_);
  if (!records_) return out;
  for (int i = 0; i < count_; ++i) {
    out.append(records_[i].text, kHighScoreTextSize);
    StoreInt32(out, records_[i].score);
  }
  return out;
}

int HighScoreTable::Write(const char* path, int* error) const {
  if (error) *error = EINVAL;
  if (!records_ || !path) return 0;
  if (int failure = KeepUnreadableTable(path, count_)) {
    if (error) *error = failure;
    return 0;
  }
  std::string image = Serialize();
  return WriteFileAtomically(path, image.data(), image.size(), error);
}

int WriteFileAtomically(const char* path, const void* data, size_t size, int* error) {
  // Written into the player's folder even when the table came with the data.
  int failure =
      path ? ReplaceFile(MapPathForWrite(path), {static_cast<const char*>(data), size}) : ENOENT;
  if (error) *error = failure;
  return failure == 0 ? 1 : 0;
}

int KeepUnreadableTable(const char* path, int32_t count) {
  HighScoreTable probe;
  probe.Init(count);
  if (probe.Load(path) != TableFile::Unreadable) return 0;
  // A replay's copy is the recording's, not the player's: its temporary path means nothing
  // to the player, and it goes with the replay.
  if (InReplaySandbox(path)) {
    std::fprintf(stderr, "zorbit: the hall of fame this replay started from cannot be read "
                 "whole; the replay goes on with the records that could be read\n");
    return 0;
  }
  const std::string from = MapPath(path);
  // A table that came with the read-only data is not the one the save replaces.
  if (from != MapPathForWrite(path)) return 0;
  char stamp[32];
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
  std::string aside = from + ".unreadable-" + stamp;
  int failure = RenameNoReplace(from, aside);
  for (int n = 2; failure == EEXIST && n < 100; ++n) {
    aside = from + ".unreadable-" + stamp + "-" + std::to_string(n);
    failure = RenameNoReplace(from, aside);
  }
  if (failure) {
    std::fprintf(stderr, "zorbit: %s cannot be read, and it could not be kept aside (%s): "
                 "the new table is not written over it\n", from.c_str(), FileErrorText(failure).c_str());
    return failure;
  }
  std::fprintf(stderr, "zorbit: %s could not be read; it is kept as %s\n", from.c_str(),
               aside.c_str());
  return 0;
}
