// A trace for people looking at start-up time and frame rate: with ZORBIT_TRACE set in the
// environment, each start-up step prints its time since exec on standard error, and every
// ten seconds the number of frames presented in them. Silent otherwise.
#pragma once

bool TraceOn();
// "zorbit: 123.4 ms  step" (milliseconds since the process was started).
void TraceStep(const char* step);
// Called at each present.
void TraceFrame();
