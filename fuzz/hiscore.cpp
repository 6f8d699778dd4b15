// Feeds arbitrary bytes to the hall-of-fame reader: whatever the file holds, the table must
// stay 20 terminated records and serialise back to the fixed layout.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "game/high_score_table.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  HighScoreTable table;
  table.Init(kHallOfFameSize);
  int read = table.ReadFromBytes(data, size);
  if (!read && table.TopScore() != 0) std::abort();  // a refused file changes nothing
  for (int i = 0; i < kHallOfFameSize; ++i) {
    const HighScoreRecord* r = table.Record(i);
    if (!r || std::memchr(r->text, '\0', sizeof r->text) == nullptr) std::abort();
  }
  if (table.Serialize().size() != 4 + 260u * kHallOfFameSize) std::abort();
  HallOfFameJson(table);
  table.Insert(reinterpret_cast<const char*>(table.Record(0)->text), table.TopScore() + 1);
  return 0;
}
