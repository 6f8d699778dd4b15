// The sound library's one lock: the game thread, the call-back thread and the fill thread
// all go through it before touching the slot table, the event records or the stream.
#pragma once

#include <mutex>

std::recursive_mutex& SoundLibraryLock();

using SoundGuard = std::lock_guard<std::recursive_mutex>;
#define SOUND_LOCKED() SoundGuard soundGuard_(SoundLibraryLock())

// Stops the stream whatever the music switch says and waits until its clean-up has run.
int EndStreamNow();
// The same for the library's shut-down: a next-stream function that runs meanwhile cannot
// load another stream.
void EndStreamForExit();
