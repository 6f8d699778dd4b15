// Up to eight player profiles and the current player, kept in the options file (sections
// [Player1] .. [Player8] and [setup] playerid). The game only reads it; the store's write
// operations serve the options command.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

constexpr int kPlayerCount = 8;
constexpr size_t kEntryTextSize = 256;  // the hall of fame's text field
constexpr const char* kOptionsFile = "..\\options.ini";

struct PlayerProfile {
  char name[64];
  char address[64];
  char email[64];
  char send[2];  // one character, "Y" or "N"
};
static_assert(sizeof(PlayerProfile) == 194);

class PlayerProfiles {
 public:
  // A null path changes nothing; a path too long for the store is refused.
  void SetIniPath(const char* path);
  int ReadPlayerId();
  // 1 when the file was written.
  int WritePlayerId(int id);
  void LoadProfile(int i);
  // These three return 1 when the file was written (0 also when no path is set).
  int SaveProfile(int i, const PlayerProfile& profile);
  // Only the named fields ("name", "address", "email", "send"); the others keep what the
  // file holds when it is written, whoever wrote it.
  int SaveFields(int i, const std::vector<std::pair<std::string, std::string>>& fields);
  int ResetProfile(int i);
  int ResetAllProfiles();
  // Loads player i and writes "name:address:email:send" into buffer (size bytes).
  void EntryText(int i, char* buffer, size_t size = kEntryTextSize);

  int CurrentId() const { return currentId; }
  const PlayerProfile& Profile(int i) const { return profiles[Index(i)]; }
  const char* IniPath() const { return iniPath; }

  // A player number outside the eight profiles stands for player 0, so nothing is ever
  // read or written past the table.
  static int Index(int i) { return i >= 0 && i < kPlayerCount ? i : 0; }

  int32_t currentId = 0;
  PlayerProfile profiles[kPlayerCount] = {};
  char iniPath[4096] = {};
};

// The one store of the game; zero-filled before anything runs.
extern PlayerProfiles ThePlayerProfiles;
