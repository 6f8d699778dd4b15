// Feeds arbitrary bytes to the replay reader: it must answer yes or no without crashing or
// hanging, and whatever it accepts must write back to text it reads the same way.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/replay/replay_format.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  ReplayLog log;
  std::string error;
  if (!ReadReplay(text, "1.0", &log, &error)) {
    if (error.empty()) std::abort();  // a refusal always says why
    return 0;
  }
  if (log.events.empty() || log.events.back().kind != ReplayKind::End) std::abort();
  ReplayLog again;
  if (!ReadReplay(WriteReplay(log), "1.0", &again, &error)) std::abort();
  if (WriteReplay(again) != WriteReplay(log)) std::abort();
  return 0;
}
