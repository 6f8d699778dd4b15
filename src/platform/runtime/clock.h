// The platform's clock: real time, or the virtual clock of headless runs, under which
// time moves only while the program waits, so runs are fast and repeatable.
#pragma once

#include <cstdint>
#include <functional>

bool ClockIsVirtual();
// Milliseconds since the platform started.
uint32_t ClockNowMs();
// Real time: sleeps. Virtual: moves the clock on by ms (in timer-period steps).
void ClockSleepMs(uint32_t ms);

// Called on every advance of the virtual clock with the new time, on the advancing thread
// (the script player and the null audio device hang here). Returns an id for removal.
int ClockAddListener(std::function<void(uint32_t nowMs)> listener);
void ClockRemoveListener(int id);
