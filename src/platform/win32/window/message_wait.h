// Waiting for the message queue without taking from it: the frame loop sleeps here while
// nothing on the screen changes.
#pragma once

// Waits up to ms (real time) for a message or host input, taking none of it: 1 when
// something is there to take, 0 when the time ran out. Never waits in virtual time.
int WaitForMessageOrTimeout(int ms);
// True when the clock is real, so that such a wait sleeps.
bool MessageWaitSleeps();
// How many host inputs (keys, buttons, moves) have reached the game so far: a frame that saw
// none since the last one had nothing new to show for them.
unsigned long long HostInputsDelivered();
