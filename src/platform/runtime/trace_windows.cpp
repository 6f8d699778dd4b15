// Windows: the start-up steps and the frame count, timed from the process's creation.
#include "platform/runtime/trace.h"

#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace {

double NowMs() {
  FILETIME now;
  GetSystemTimePreciseAsFileTime(&now);
  return double((ULONGLONG(now.dwHighDateTime) << 32) | now.dwLowDateTime) / 1e4;
}

double StartMs() {
  FILETIME created, exited, kernel, user;
  if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return NowMs();
  return double((ULONGLONG(created.dwHighDateTime) << 32) | created.dwLowDateTime) / 1e4;
}

struct Trace {
  const bool on = std::getenv("ZORBIT_TRACE") != nullptr;
  const double startMs = on ? StartMs() : 0.0;
  std::mutex lock;
  bool presented = false;
  double windowStartMs = 0.0;
  int frames = 0, shown = 0;
};

Trace& State() {
  static Trace trace;
  return trace;
}

void Print(double ms, const char* text) { std::fprintf(stderr, "zorbit: %7.1f ms  %s\n", ms, text); }

}  // namespace

bool TraceOn() { return State().on; }

double TraceNowMs() {
  Trace& trace = State();
  return trace.on ? NowMs() - trace.startMs : 0.0;
}

void TraceStep(const char* step) {
  if (!State().on) return;
  Print(TraceNowMs(), step);
}

void TraceStepf(const char* format, ...) {
  if (!State().on) return;
  char line[256];
  va_list args;
  va_start(args, format);
  std::vsnprintf(line, sizeof line, format, args);
  va_end(args);
  TraceStep(line);
}

void TraceTally(const char*, double) {}

void TraceFrame() {
  Trace& trace = State();
  if (!trace.on) return;
  std::lock_guard<std::mutex> guard(trace.lock);
  const double now = NowMs();
  if (!trace.presented) {
    Print(now - trace.startMs, "first picture presented");
    trace.presented = true;
    trace.windowStartMs = now;
    return;
  }
  ++trace.frames;
  if (now - trace.windowStartMs >= 10000.0) {
    std::fprintf(stderr, "zorbit: frames %d in %.1f s\n", trace.frames, (now - trace.windowStartMs) / 1000.0);
    trace.frames = 0;
    trace.windowStartMs = now;
  }
}

void TraceShown() {
  Trace& trace = State();
  if (!trace.on) return;
  std::lock_guard<std::mutex> guard(trace.lock);
  ++trace.shown;
}
