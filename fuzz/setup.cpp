// The settings and options files as the game reads them, on arbitrary bytes: the round's
// numbers, the switches, and every player profile through the game's own store. Nothing
// may read or write past a buffer, and each entry text must fit the hall of fame's field.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "game/player_profiles.h"
#include "platform/win32/kernel/profile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // In memory, so that a long run leaves no file behind.
  static const int fd = ::memfd_create("zorbit-fuzz-ini", MFD_CLOEXEC);
  static const std::string path = "/proc/self/fd/" + std::to_string(fd);
  if (fd < 0 || ::ftruncate(fd, 0) != 0) return 0;
  if (size > 0 && ::pwrite(fd, data, size, 0) != static_cast<ssize_t>(size)) return 0;

  char value[256];
  for (const char* key : {"balloons", "gametime"}) {
    GetPrivateProfileString("default", key, "2", value, sizeof value, path.c_str());
    (void)std::strtoll(value, nullptr, 10);
  }
  char flag[2];
  for (const char* key : {"fullscreen", "music", "SFX"}) {
    GetPrivateProfileString("setup", key, "Y", flag, sizeof flag, path.c_str());
    if (std::strlen(flag) > 1) std::abort();
  }
  (void)GetPrivateProfileInt("setup", "fullscreen", 0, path.c_str());

  PlayerProfiles store;
  store.SetIniPath(path.c_str());
  const int current = store.ReadPlayerId();
  if (current < 0 || current >= kPlayerCount) std::abort();
  for (int i = 0; i < kPlayerCount; ++i) {
    char text[kEntryTextSize];
    std::memset(text, 'x', sizeof text);
    store.EntryText(i, text, sizeof text);
    if (!std::memchr(text, '\0', sizeof text) || std::strlen(text) > 193) std::abort();
  }
  return 0;
}
