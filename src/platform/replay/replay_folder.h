// The player's replays/ folder: every window run is kept there, the newest 20 and those whose
// hall-of-fame entry still stands. The hall of fame's own file keeps its layout, so which
// replay made which entry is noted beside the replays, in "halloffame.links", changed only
// under the hall of fame's lock. Nothing in the folder is followed through a link.
#pragma once

#include <string>
#include <vector>

#include "platform/replay/replay.h"

constexpr int kReplaysKept = 20;

// Reads at most limit bytes of a host file. false when it cannot be opened or is larger.
bool ReadHostFile(const std::string& path, size_t limit, std::string* bytes);

// A new file in replays/, created exclusively under the next name in the order of creation
// ("<sequence>-YYYYMMDD-HHMMSS.replay"). fd is -1 (error the errno) when it cannot be made.
struct NewReplayFile {
  int fd = -1;
  std::string name;
  int error = 0;
};
NewReplayFile CreateInReplayFolder();

// Notes that the run recorded in name made entry; name "" when its replay could not be
// kept, so that the entry holds its place among equal ones. False (said why) when the
// links could not be changed.
bool LinkInReplayFolder(const std::string& name, const HallOfFameEntry& entry);

// Drops the links of entries that left the hall of fame, and the replays neither among the
// newest nor linked; keep (the running recording) is never removed.
void PruneReplayFolder(const std::string& keep);
