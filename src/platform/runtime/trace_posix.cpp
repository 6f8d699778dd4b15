#include "platform/runtime/trace.h"

#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

namespace {

double MonotonicMs(clockid_t clock) {
  timespec t{};
  clock_gettime(clock, &t);
  return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_nsec) / 1e6;
}

// When the kernel started this process, in ms of the boot-time clock (field 22 of
// /proc/self/stat, in clock ticks, so the times are late by up to one tick). Fields before
// it may hold spaces, so the count starts after the command's closing parenthesis.
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

struct Tally {
  const char* name = nullptr;
  int count = 0;
  double ms = 0.0;
};

struct Trace {
  const bool on = std::getenv("ZORBIT_TRACE") != nullptr;
  const double startMs = on ? ProcessStartMs() : 0.0;
  // Lines go to a copy of standard error taken at start: a library that points standard
  // error elsewhere for a moment, on another thread, cannot swallow them.
  const int fd = on ? dup(STDERR_FILENO) : -1;
  std::mutex lock;  // the tallies and the frame count: steps come from several threads
  Tally tallies[8];
  bool presented = false;
  double windowStartMs = 0.0;
  int frames = 0;  // presented after windowStartMs
  int shown = 0;   // of them, or of older ones, shown by a presenting thread
  bool showsApart = false;  // a presenting thread counts what it shows
};

Trace& State() {
  static Trace trace;
  return trace;
}

void Print(Trace& trace, double ms, const char* text) {
  dprintf(trace.fd >= 0 ? trace.fd : STDERR_FILENO, "zorbit: %7.1f ms  %s\n", ms, text);
}

// Under the lock.
void PrintTallies(Trace& trace, double ms) {
  for (Tally& t : trace.tallies) {
    if (!t.name) continue;
    char line[160];
    std::snprintf(line, sizeof line, "  %s: %d, %.1f ms in all", t.name, t.count, t.ms);
    Print(trace, ms, line);
    t = Tally{};
  }
}

}  // namespace

bool TraceOn() { return State().on; }

double TraceNowMs() {
  Trace& trace = State();
  return trace.on ? MonotonicMs(CLOCK_BOOTTIME) - trace.startMs : 0.0;
}

void TraceStep(const char* step) {
  Trace& trace = State();
  if (trace.on) Print(trace, TraceNowMs(), step);
}

void TraceStepf(const char* format, ...) {
  if (!State().on) return;
  char text[256];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  TraceStep(text);
}

void TraceTally(const char* name, double ms) {
  Trace& trace = State();
  if (!trace.on) return;
  std::lock_guard<std::mutex> guard(trace.lock);
  for (Tally& t : trace.tallies) {
    if (t.name && t.name != name && std::strcmp(t.name, name) != 0) continue;
    t.name = name;
    ++t.count;
    t.ms += ms;
    return;
  }
}

void TraceFrame() {
  Trace& trace = State();
  if (!trace.on) return;
  const double now = MonotonicMs(CLOCK_MONOTONIC);
  std::lock_guard<std::mutex> guard(trace.lock);
  if (!trace.presented) {
    const double ms = TraceNowMs();
    // What the process spent to get here, all its threads: processor time and page faults
    // (on some virtual machines each fault costs as much as copying a page several times).
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    char line[160];
    std::snprintf(line, sizeof line, "first picture presented (%.1f ms of processor, %ld page faults)",
                  MonotonicMs(CLOCK_PROCESS_CPUTIME_ID), usage.ru_minflt + usage.ru_majflt);
    Print(trace, ms, line);
    PrintTallies(trace, ms);
    trace.presented = true;
    trace.windowStartMs = now;
    return;
  }
  ++trace.frames;
  if (now - trace.windowStartMs >= 10000.0) {
    char shown[40] = "";
    if (trace.showsApart) std::snprintf(shown, sizeof shown, ", %d shown", trace.shown);
    dprintf(trace.fd >= 0 ? trace.fd : STDERR_FILENO, "zorbit: frames %d in %.1f s%s\n",
            trace.frames, (now - trace.windowStartMs) / 1000.0, shown);
    trace.frames = 0;
    trace.shown = 0;
    trace.windowStartMs = now;
  }
}

void TraceShown() {
  Trace& trace = State();
  if (!trace.on) return;
  std::lock_guard<std::mutex> guard(trace.lock);
  trace.showsApart = true;
  if (trace.presented) ++trace.shown;
}
