// The player's replays/ folder: every window run is kept there, the newest 20 and those whose
// hall-of-fame entry still stands. The hall of fame's own file keeps its layout, so which
// replay made which entry is noted beside the replays, in "halloffame.links".
#pragma once

#include <string>
#include <vector>

#include "platform/replay/replay.h"

constexpr int kReplaysKept = 20;

// Reads at most limit bytes of a host file. false when it cannot be opened or is larger.
bool ReadHostFile(const std::string& path, size_t limit, std::string* bytes);

// Stores the replay text under a new name made from the time, links the entries this run
// put in the hall of fame to it, and removes the replays no longer kept. Returns the name.
std::string KeepInReplayFolder(const std::string& text, const std::vector<HallOfFameEntry>& entries);
