#include "platform/trace.h"

#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

double MonotonicMs(clockid_t clock) {
  timespec t{};
  clock_gettime(clock, &t);
  return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_nsec) / 1e6;
}

// When the kernel started this process, in ms of the boot-time clock (field 22 of
// /proc/self/stat, in clock ticks). Fields before it may hold spaces, so the count starts
// after the command's closing parenthesis.
double ProcessStartMs() {
  std::FILE* file = std::fopen("/proc/self/stat", "r");
  if (!file) return MonotonicMs(CLOCK_BOOTTIME);
  char line[1024] = {};
  size_t length = std::fread(line, 1, sizeof line - 1, file);
  std::fclose(file);
  line[length] = '\0';
  const char* p = std::strrchr(line, ')');
  if (!p) return MonotonicMs(CLOCK_BOOTTIME);
  for (int field = 2; field < 22 && *p; ++p) field += *p == ' ';
  double ticks = std::strtod(p, nullptr);
  return ticks * 1000.0 / static_cast<double>(sysconf(_SC_CLK_TCK));
}

struct Trace {
  bool on = std::getenv("ZORBIT_TRACE") != nullptr;
  double startMs = on ? ProcessStartMs() : 0.0;
  bool presented = false;
  double windowStartMs = 0.0;
  int frames = 0;  // presented after windowStartMs
};

Trace& State() {
  static Trace trace;
  return trace;
}

}  // namespace

bool TraceOn() { return State().on; }

void TraceStep(const char* step) {
  Trace& trace = State();
  if (!trace.on) return;
  std::fprintf(stderr, "zorbit: %7.1f ms  %s\n", MonotonicMs(CLOCK_BOOTTIME) - trace.startMs,
               step);
}

void TraceFrame() {
  Trace& trace = State();
  if (!trace.on) return;
  const double now = MonotonicMs(CLOCK_MONOTONIC);
  if (!trace.presented) {
    TraceStep("first picture presented");
    trace.presented = true;
    trace.windowStartMs = now;
    return;
  }
  ++trace.frames;
  if (now - trace.windowStartMs >= 10000.0) {
    std::fprintf(stderr, "zorbit: frames %d in %.1f s\n", trace.frames,
                 (now - trace.windowStartMs) / 1000.0);
    trace.frames = 0;
    trace.windowStartMs = now;
  }
}
