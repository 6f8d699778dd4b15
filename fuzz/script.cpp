// The harness's script reader on arbitrary text: it either refuses with a line number
// inside the text, or gives events in time order that end with exactly one End.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "platform/harness/script.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  std::vector<ScriptEvent> events;
  ScriptError error;
  if (!ParseScript(text, &events, &error)) {
    if (error.line < 1 || error.message.empty()) std::abort();
    return 0;
  }
  if (events.empty() || events.back().op != ScriptOp::End) std::abort();
  for (size_t i = 0; i < events.size(); ++i) {
    const ScriptEvent& e = events[i];
    if (i > 0 && e.atMs < events[i - 1].atMs) std::abort();
    if (e.op == ScriptOp::End && i + 1 != events.size()) std::abort();
    if (e.op == ScriptOp::Move && (e.x < 0 || e.x > 799 || e.y < 0 || e.y > 599)) std::abort();
    if ((e.op == ScriptOp::Screenshot || e.op == ScriptOp::Dump) && e.file.empty()) std::abort();
  }
  return 0;
}
