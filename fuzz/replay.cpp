// Feeds arbitrary bytes to the replay reader: it must answer yes or no without crashing or
// hanging, whatever it accepts must write back to text it reads the same way, and the
// streaming reader, fed in blocks of any size, must agree with the reading of the whole.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/replay/replay_format.h"

namespace {

// The same bytes as a stream in blocks of the size the first byte picks.
bool ReadInBlocks(const std::string& text, ReplayLog* log, std::string* error) {
  const size_t block = text.empty() ? 1 : 1 + static_cast<unsigned char>(text[0]) % 97;
  size_t at = 0;
  ReplayReader reader(
      [&](char* buffer, size_t size) {
        const size_t n = std::min({size, block, text.size() - at});
        text.copy(buffer, n, at);
        at += n;
        return static_cast<long>(n);
      },
      "1.0");
  *log = ReplayLog{};
  if (!reader.ReadHeader(log)) {
    *error = reader.Error();
    return false;
  }
  ReplayEvent e;
  while (reader.Next(&e)) log->events.push_back(e);
  *error = reader.Error();
  log->cutOff = !reader.Ended();
  return error->empty();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  ReplayLog log, streamed;
  std::string error, streamError;
  const bool read = ReadReplay(text, "1.0", &log, &error);
  if (ReadInBlocks(text, &streamed, &streamError) != read || streamError != error) std::abort();
  if (!read) {
    if (error.empty()) std::abort();  // a refusal always says why
    return 0;
  }
  if (WriteReplay(streamed) != WriteReplay(log)) std::abort();
  if (!log.cutOff && (log.events.empty() || log.events.back().kind != ReplayKind::End))
    std::abort();
  ReplayLog again;
  if (!ReadReplay(WriteReplay(log), "1.0", &again, &error)) std::abort();
  if (WriteReplay(again) != WriteReplay(log) || again.cutOff != log.cutOff) std::abort();
  return 0;
}
