// Sleeping while the picture stays as it is.
#pragma once

// The tick at which the current screen next changes with no input; `now` while anything on
// it moves. The game installs it; without one every frame may change.
using NextChangeHook = int (*)(int now);
void SetNextChangeHook(NextChangeHook hook);
// After a frame: once the frames have gone quiet, sleeps until input comes or the next
// change (the screen's, or the round clock's next second) falls due. Window runs only:
// headless and replayed runs draw every frame.
void IdleWhileUnchanged();
