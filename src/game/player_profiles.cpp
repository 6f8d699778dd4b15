#include "game/player_profiles.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "game/balloon_state.h"
#include "platform/win32/kernel/profile.h"
#include "shell/app.h"

PlayerProfiles ThePlayerProfiles;

namespace {

void SectionName(int i, char (&section)[24]) {
  std::snprintf(section, sizeof section, "Player%d", i + 1);
}

}  // namespace

void PlayerProfiles::SetIniPath(const char* path) {
  if (!path || std::strlen(path) >= sizeof iniPath) return;
  std::strcpy(iniPath, path);
}

int PlayerProfiles::ReadPlayerId() {
  if (iniPath[0] == '\0') {
    currentId = 0;
    return 0;
  }
  char value[32];
  GetPrivateProfileString("setup", "playerid", "0", value, sizeof value, iniPath);
  currentId = Index(std::atoi(value));
  return currentId;
}

int PlayerProfiles::WritePlayerId(int id) {
  if (iniPath[0] == '\0') return 0;
  id = Index(id);
  char value[16];
  std::snprintf(value, sizeof value, "%d", id);
  const int saved = WritePrivateProfileString("setup", "playerid", value, iniPath);
  currentId = id;
  return saved;
}

void PlayerProfiles::LoadProfile(int i) {
  if (iniPath[0] == '\0') return;
  i = Index(i);
  char section[24];
  SectionName(i, section);
  PlayerProfile& p = profiles[i];
  GetPrivateProfileString(section, "name", section, p.name, sizeof p.name, iniPath);
  GetPrivateProfileString(section, "address", "", p.address, sizeof p.address, iniPath);
  GetPrivateProfileString(section, "email", "", p.email, sizeof p.email, iniPath);
  GetPrivateProfileString(section, "send", "Y", p.send, sizeof p.send, iniPath);
}

int PlayerProfiles::SaveProfile(int i, const PlayerProfile& profile) {
  // The profile may be one of our own, which the reload overwrites: copy first.
  PlayerProfile p = profile;
  // Fields are read as terminated strings even if the caller filled them to the brim.
  p.name[sizeof p.name - 1] = p.address[sizeof p.address - 1] = '\0';
  p.email[sizeof p.email - 1] = p.send[sizeof p.send - 1] = '\0';
  return SaveFields(i, {{"name", p.name}, {"address", p.address}, {"email", p.email},
                        {"send", p.send}});
}

int PlayerProfiles::SaveFields(int i, const std::vector<std::pair<std::string, std::string>>& fields) {
  i = Index(i);
  int saved = 0;
  if (iniPath[0] != '\0') {
    char section[24];
    SectionName(i, section);
    // One replacement for the keys: a kill in between must not leave half a profile.
    saved = WritePrivateProfileValues(section, fields, iniPath);
  }
  char scratch[kEntryTextSize];
  EntryText(i, scratch, sizeof scratch);
  return saved;
}

int PlayerProfiles::ResetProfile(int i) {
  i = Index(i);
  PlayerProfile& p = profiles[i];
  p = PlayerProfile{};
  std::snprintf(p.name, sizeof p.name, "Player%d", i + 1);
  std::strcpy(p.send, "Y");
  return SaveProfile(i, p);
}

int PlayerProfiles::ResetAllProfiles() {
  int saved = 1;
  for (int i = 0; i < kPlayerCount; ++i) saved = ResetProfile(i) && saved;
  return saved;
}

void PlayerProfiles::EntryText(int i, char* buffer, size_t size) {
  i = Index(i);
  LoadProfile(i);
  if (!buffer || size == 0) return;
  const PlayerProfile& p = profiles[i];
  std::snprintf(buffer, size, "%.63s:%.63s:%.63s:%.1s", p.name, p.address, p.email, p.send);
}

void BalloonState::MakePlayerEntry(char* buffer) {
  ThePlayerProfiles.SetIniPath(kOptionsFile);
  playerId = ThePlayerProfiles.ReadPlayerId();
  ThePlayerProfiles.LoadProfile(ThePlayerProfiles.CurrentId());
  SetWindowTitle(ThePlayerProfiles.Profile(ThePlayerProfiles.CurrentId()).name);
  if (buffer) ThePlayerProfiles.EntryText(playerId, buffer, kEntryTextSize);
}
