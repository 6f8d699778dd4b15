#include "game/high_score_table.h"

#include <cerrno>
#include <cstring>
#include <string>

#include "platform/file_replace.h"
#include "platform/paths.h"

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

int HighScoreTable::ReadFromBytes(const unsigned char* data, size_t size) {
  if (!records_ || size < kCountSize || LoadInt32(data) != count_) return 0;
  const unsigned char* p = data + kCountSize;
  size_t left = size - kCountSize;
  for (int i = 0; i < count_; ++i) {
    if (left < kRecordSize) {
      // The file ended early: a half-read record and the ones after it are not trusted.
      ClearFrom(i);
      break;
    }
    HighScoreRecord& r = records_[i];
    std::memcpy(r.text, p, kHighScoreTextSize);
    r.text[kHighScoreTextSize - 1] = '\0';  // a text with no terminator is cut, never overrun
    r.score = LoadInt32(p + kHighScoreTextSize);
    p += kRecordSize;
    left -= kRecordSize;
  }
  return 1;
}

int HighScoreTable::Read(const char* path) {
  if (!records_ || !path) return 0;
  FILE* f = OpenFile(path, "rb");
  if (!f) return 0;
  // Never more than the table can hold: a longer file's tail is not ours to read.
  std::string bytes(kCountSize + kRecordSize * size_t(count_), '\0');
  size_t got = std::fread(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
  return ReadFromBytes(reinterpret_cast<const unsigned char*>(bytes.data()), got);
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
  std::string image = Serialize();
  return WriteFileAtomically(path, image.data(), image.size(), error);
}

int WriteFileAtomically(const char* path, const void* data, size_t size, int* error) {
  int failure = path ? ReplaceFile(MapPath(path), {static_cast<const char*>(data), size}) : ENOENT;
  if (error) *error = failure;
  return failure == 0 ? 1 : 0;
}
