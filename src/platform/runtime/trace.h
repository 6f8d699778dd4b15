// A trace for people looking at start-up time and frame rate: with ZORBIT_TRACE set in the
// environment, each start-up step prints its time since exec on standard error, and every
// ten seconds the number of frames presented in them. Silent otherwise, and cheap: each
// call is one test of a flag when the trace is off.
#pragma once

bool TraceOn();
// "zorbit: 123.4 ms  step" (milliseconds since the process was started). Any thread.
void TraceStep(const char* step);
// The same with printf-style detail.
void TraceStepf(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Milliseconds since the process was started; 0 when the trace is off.
double TraceNowMs();
// Adds ms to the running total `name` (a string literal) and counts one more. The totals
// are printed, and cleared, when the first picture has been presented: the work that
// happens many times before it (reading pictures, making sound buffers) gets one line.
void TraceTally(const char* name, double ms);
// Called at each present.
void TraceFrame();
// Called when a picture reaches the display, where that is not at the present (a
// presenting thread that waits for the display); any thread. The frames line then also
// says how many were shown.
void TraceShown();
