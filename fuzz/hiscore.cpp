// Feeds arbitrary bytes to the hall-of-fame reader: whatever the file holds, the table must
// stay 20 terminated records and serialise back to the fixed layout, and what is kept of an
// unreadable file must be in order.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "game/high_score_table.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  HighScoreTable table;
  table.Init(kHallOfFameSize);
  TableFile file = table.LoadFromBytes(data, size);
  for (int i = 0; i < kHallOfFameSize; ++i) {
    const HighScoreRecord* r = table.Record(i);
    if (!r || std::memchr(r->text, '\0', sizeof r->text) == nullptr) std::abort();
    if (file == TableFile::Unreadable && (r->score < 0 || (i > 0 && r->score > table.Record(i - 1)->score)))
      std::abort();
  }
  if (table.Serialize().size() != 4 + 260u * kHallOfFameSize) std::abort();
  HallOfFameJson(table);
  // The best possible score cannot be beaten; anything else can.
  const int32_t top = table.TopScore();
  if (top < INT32_MAX && !table.Insert(table.Record(0)->text, top + 1)) std::abort();
  return 0;
}
