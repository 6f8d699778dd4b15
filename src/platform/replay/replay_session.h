// The running recording or replay, as the rest of the platform drives it. Everything here
// runs on the main thread.
#pragma once

#include <memory>
#include <string>

#include "platform/replay/replay_format.h"
#include "platform/replay/replay_stream.h"
#include "platform/runtime/host_input.h"

namespace replay {

// The game's version as replays carry it.
const char* GameVersion();

// Starts recording this run. toFile: --record's path (may be empty); intoFolder: also keep
// it in the player's replays/ folder. seed is what srand will get. The files are made when
// the first picture is shown, and written as the run goes.
void BeginRecording(const std::string& toFile, bool intoFolder, unsigned seed);
// Starts playing a replay. realTime: in a window, at the recording's pace. False (with a
// message) when its private hall of fame cannot be made: a replay never plays on the
// player's own files.
bool BeginPlaying(std::unique_ptr<ReplayInput> input, bool realTime);
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

// The window is going: the last check. Then the end of the run: the recording is closed,
// the sandbox removed. Returns the exit code the run earns: 0, 1 when a recording was not
// written or the replay's private hall of fame failed, 4 when a replay drifted.
void BeforeTeardown();
int Finish();
// Forgets everything (a fresh in-process run).
void Reset();

}  // namespace replay
