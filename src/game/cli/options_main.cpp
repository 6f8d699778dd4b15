// zorbit-options: chooses the current player and edits the player profiles in the options
// file beside the game's folder ("../options.ini"), as a launcher would. The game itself
// only reads that file.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "game/player_profiles.h"
#include "platform/files/file_replace.h"
#include "platform/files/install_folders.h"
#include "platform/files/paths.h"

namespace {

struct Request {
  std::string dataDir;
  std::optional<int> player;  // 1 to 8 as on screen
  std::optional<std::string> name, address, email, send;
  bool reset = false, resetAll = false, list = false;
  bool help = false, version = false;
};

void Usage(FILE* out) {
  std::fprintf(out,
               "usage: zorbit-options [--data DIR] [--player N] [--name TEXT] [--address TEXT]\n"
               "                      [--email TEXT] [--send Y|N] [--reset] [--reset-all] [--list]\n"
               "Works on ../options.ini from the game's folder DIR (default: the player's\n"
               "folder, ${XDG_DATA_HOME:-~/.local/share}/zorbit/game).\n"
               "  --player N   make player N (1 to 8) the current player; the edits below\n"
               "               apply to that player (default: the current player)\n"
               "  --name, --address, --email   set a field (at most 63 bytes)\n"
               "  --send Y|N   whether the player's details may be sent\n"
               "  --reset      give the player a fresh profile; --reset-all: every player\n"
               "  --list       show the current player and all eight profiles\n"
               "  -V, --version  print the version;  -h, --help  this text\n");
}

// Text that the ini file can hold on one line and the entry text can carry.
bool ValidField(const std::string& value, const char* what) {
  for (unsigned char c : value) {
    if (c < 0x20 || c == 0x7F) {
      std::fprintf(stderr, "zorbit-options: %s may not contain control characters\n", what);
      return false;
    }
  }
  // The hall of fame stores name, address and e-mail in one text split at the colons.
  if (value.find(':') != std::string::npos) {
    std::fprintf(stderr, "zorbit-options: %s may not contain \":\" (it separates the fields of "
                 "a hall-of-fame entry)\n", what);
    return false;
  }
  // The file trims blanks around a value and drops a pair of quotes around it, so such a
  // value would not read back as given.
  const bool blankEnd = !value.empty() && (value.front() == ' ' || value.back() == ' ');
  const bool quoted = value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
                      value.back() == value.front();
  if (blankEnd || quoted) {
    std::fprintf(stderr,
                 "zorbit-options: %s may not begin or end with a space, nor be in quotes\n", what);
    return false;
  }
  if (value.size() > 63) {
    std::fprintf(stderr, "zorbit-options: %s is longer than 63 bytes\n", what);
    return false;
  }
  return true;
}

bool Parse(int argc, char** argv, Request& r) {
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    auto value = [&](std::optional<std::string>& into) {
      if (i + 1 >= argc) return false;
      into = argv[++i];
      return true;
    };
    if (arg == "--list") r.list = true;
    else if (arg == "--reset") r.reset = true;
    else if (arg == "--reset-all") r.resetAll = true;
    else if (arg == "--help" || arg == "-h") r.help = true;
    else if (arg == "--version" || arg == "-V") r.version = true;
    else if (arg == "--data" && i + 1 < argc) r.dataDir = argv[++i];
    else if (arg == "--player" && i + 1 < argc) {
      char* end = nullptr;
      long n = std::strtol(argv[++i], &end, 10);
      if (*end != '\0' || n < 1 || n > kPlayerCount) {
        std::fprintf(stderr, "zorbit-options: the player is a number from 1 to 8\n");
        return false;
      }
      r.player = int(n);
    } else if (arg == "--name") { if (!value(r.name)) return false; }
    else if (arg == "--address") { if (!value(r.address)) return false; }
    else if (arg == "--email") { if (!value(r.email)) return false; }
    else if (arg == "--send") {
      if (!value(r.send)) return false;
      if (*r.send != "Y" && *r.send != "N") {
        std::fprintf(stderr, "zorbit-options: --send takes Y or N\n");
        return false;
      }
    } else {
      std::fprintf(stderr, "zorbit-options: unknown or incomplete option %s\n", arg.c_str());
      return false;
    }
  }
  return (!r.name || ValidField(*r.name, "the name")) &&
         (!r.address || ValidField(*r.address, "the address")) &&
         (!r.email || ValidField(*r.email, "the e-mail address"));
}

// Characters a terminal shows for UTF-8 text: every byte but the continuation bytes.
size_t ShownWidth(const char* text) {
  size_t width = 0;
  for (const unsigned char* c = reinterpret_cast<const unsigned char*>(text); *c; ++c)
    width += (*c & 0xC0) != 0x80;
  return width;
}

// printf's %-Ns counts bytes, which puts names with accents out of line.
std::string Column(const char* text, size_t width) {
  std::string cell = text;
  for (size_t shown = ShownWidth(text); shown < width; ++shown) cell += ' ';
  return cell;
}

void List(PlayerProfiles& store) {
  int current = store.ReadPlayerId();
  std::printf("current player: %d\n", current + 1);
  for (int i = 0; i < kPlayerCount; ++i) {
    store.LoadProfile(i);
    const PlayerProfile& p = store.Profile(i);
    std::printf("%c %d  %s  %s  %s  send %s\n", i == current ? '*' : ' ', i + 1,
                Column(p.name, 20).c_str(), Column(p.address, 24).c_str(),
                Column(p.email, 28).c_str(), p.send);
  }
}

// Writes only the fields given, so that an edit of another field made at the same time is
// kept; the reload after saving shows whether they landed.
bool Edit(PlayerProfiles& store, const Request& r, int i) {
  std::vector<std::pair<std::string, std::string>> fields;
  for (const auto& [key, value] : {std::pair{"name", r.name}, std::pair{"address", r.address},
                                   std::pair{"email", r.email}, std::pair{"send", r.send}}) {
    if (value) fields.emplace_back(key, *value);
  }
  if (!store.SaveFields(i, fields)) return false;
  const PlayerProfile& now = store.Profile(i);
  const std::pair<const char*, const std::optional<std::string>&> landed[] = {
      {now.name, r.name}, {now.address, r.address}, {now.email, r.email}, {now.send, r.send}};
  for (const auto& [field, wanted] : landed) {
    if (wanted && *wanted != field) return false;
  }
  return true;
}

int CannotWrite() {
  std::string folder;
  if (int error = MakeFoldersForWrite(kOptionsFile, &folder)) {
    // What the write that failed would only call a missing file.
    std::fprintf(stderr, "zorbit-options: could not write %s: the folder %s could not be made (%s)\n",
                 MapPath(kOptionsFile).c_str(), folder.c_str(), FileErrorText(error).c_str());
    return 1;
  }
  std::fprintf(stderr, "zorbit-options: could not write %s\n", MapPath(kOptionsFile).c_str());
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  Request r;
  if (!Parse(argc, argv, r)) {
    Usage(stderr);
    return 2;
  }
  if (r.help || argc < 2) {
    Usage(stdout);
    return 0;
  }
  if (r.version) {
    std::printf("zorbit-options %s\n", ZORBIT_VERSION);
    return 0;
  }
  if (r.dataDir.empty()) {
    // The file the installed game reads: above the player's folder, made when first written.
    const std::string player = PlayerFolder();
    if (!player.empty()) SetFileFolders(player, player);
  } else {
    std::error_code ec;
    std::filesystem::current_path(r.dataDir, ec);
    if (ec) {
      std::fprintf(stderr, "zorbit-options: cannot use the folder %s: %s\n", r.dataDir.c_str(),
                   ec.message().c_str());
      return 1;
    }
  }
  PlayerProfiles& store = ThePlayerProfiles;
  store.SetIniPath(kOptionsFile);
  if (r.resetAll && !store.ResetAllProfiles()) return CannotWrite();
  if (r.player) {
    // Not read back: another edit may have chosen its own player since.
    if (!store.WritePlayerId(*r.player - 1)) return CannotWrite();
  }
  int target = r.player ? *r.player - 1 : store.ReadPlayerId();
  if (r.reset && !store.ResetProfile(target)) return CannotWrite();
  if ((r.name || r.address || r.email || r.send) && !Edit(store, r, target)) return CannotWrite();
  if (r.list) List(store);
  return 0;
}
