// The running recording or replay, as the rest of the platform drives it. Everything here
// runs on the main thread.
#pragma once

#include <string>

#include "platform/replay/replay_format.h"
#include "platform/runtime/host_input.h"

namespace replay {

// The game's version as replays carry it.
const char* GameVersion();

// Starts recording this run. toFile: --record's path (may be empty); intoFolder: also keep
// it in the player's replays/ folder. seed is what srand will get.
void BeginRecording(const std::string& toFile, bool intoFolder, unsigned seed);
// Starts playing log. realTime: in a window, at the recording's pace.
void BeginPlaying(ReplayLog log, bool realTime);
bool Recording();
bool Playing();

// A new step of the run; while playing, the inputs recorded at it are applied.
void NextStep();
// Input from the host: noted while recording; while playing it steers the playback.
void NoteInput(const HostInput& input);
void PlaybackControl(const HostInput& input);
// The host-input queue's filter: while playing, input steers the playback (true: taken);
// otherwise it is noted and goes on.
bool FilterHostInput(const HostInput& input);
// A picture reached the screen (a pause asked for takes hold after it).
void AfterPresent();
// What the screen says about the playback ("" when none plays).
std::string Sign();

// The seed and a setting as the run reads them (recorded, or given back while playing).
unsigned Seed(unsigned live);
void Setting(const char* file, const char* section, const char* key, std::string* value);
// The measured frame rate the game asks for (a step of its own).
float FrameRate(float live);
// While playing, where the hall of fame lives instead of the player's own (empty if not).
const std::string& HallOfFameSandbox();

// The window is going: the last check. Then the end of the run: the recording is written,
// the sandbox removed. Returns false when a replay drifted or a recording was not written.
void BeforeTeardown();
bool Finish();
// Forgets everything (a fresh in-process run).
void Reset();

}  // namespace replay
