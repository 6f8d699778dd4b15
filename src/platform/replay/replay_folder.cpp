// The replays/ folder and its links to the hall of fame. A link line is
// "<replay file> <score> <entry text, %XX-escaped>", in the order the entries were made;
// "-" stands for a replay that could not be kept. The table puts a new entry below equal
// ones, so the Nth standing link of a text and score is the Nth such entry down the table.
#include "platform/replay/replay_folder.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <sstream>

#include "platform/files/file_lock.h"
#include "platform/files/file_replace.h"
#include "platform/files/host_fd.h"
#include "platform/files/paths.h"

namespace {

constexpr const char* kLinksName = "halloffame.links";
constexpr const char* kExtension = ".replay";
constexpr const char* kNoReplay = "-";
constexpr size_t kLinksMaxBytes = 1 << 20;

StandingEntries standingEntries;

struct Link {
  std::string file;
  int score = 0;
  std::string text;
};

// The folder as written to (the player's); reading a link only looks, never makes it.
std::string Folder() {
  const std::string any = MapPathForWrite("replays/x");
  const std::string folder = any.substr(0, any.rfind('/'));
  std::error_code ignored;  // a folder that cannot be made fails what follows
  std::filesystem::create_directories(folder, ignored);
  return folder;
}

std::string Escape(const std::string& text) {
  std::string out;
  for (unsigned char c : text) {
    if (c > 0x20 && c < 0x7F && c != '%') {
      out.push_back(static_cast<char>(c));
    } else {
      char hex[4];
      std::snprintf(hex, sizeof hex, "%%%02X", c);
      out += hex;
    }
  }
  return out.empty() ? "%" : out;
}

std::string Unescape(const std::string& text) {
  if (text == "%") return {};
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    unsigned value = 0;
    if (text[i] == '%' && i + 2 < text.size() &&
        std::sscanf(text.substr(i + 1, 2).c_str(), "%2x", &value) == 1) {
      out.push_back(static_cast<char>(value));
      i += 2;
    } else {
      out.push_back(text[i]);
    }
  }
  return out;
}

// A name a link may give: a plain file of the folder, never a path out of it.
bool PlainName(const std::string& name) {
  return !name.empty() && name[0] != '.' && name.find('/') == std::string::npos &&
         name.find('\0') == std::string::npos;
}

// A regular file of the folder itself (a link there is not ours and is not followed).
bool IsOurFile(const std::string& folder, const std::string& name) {
  return PlainName(name) && IsPlainFile(folder + "/" + name);
}

// nullopt when the file is there but cannot be read (or is not a plain file): nobody then
// knows which replays are linked. No file is no links.
std::optional<std::vector<Link>> ReadLinks(const std::string& folder) {
  std::vector<Link> links;
  const int fd = OpenFd(folder + "/" + kLinksName, FdOpen::ReadNoWait);
  if (fd < 0) {
    if (errno == ENOENT) return links;
    return std::nullopt;
  }
  std::string bytes;
  struct stat st {};
  bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
  char block[1 << 14];
  while (ok) {
    const ssize_t n = ::read(fd, block, sizeof block);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      ok = n == 0;
      break;
    }
    bytes.append(block, static_cast<size_t>(n));
    ok = bytes.size() <= kLinksMaxBytes;
  }
  ::close(fd);
  if (!ok) return std::nullopt;
  std::istringstream in(bytes);
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    Link link;
    std::string text;
    if (fields >> link.file >> link.score >> text) {
      link.text = Unescape(text);
      links.push_back(link);
    }
  }
  return links;
}

// Replaces the links file by a rename, which never writes through a link in its place.
int WriteLinks(const std::string& folder, const std::vector<Link>& links) {
  std::string text;
  for (const Link& l : links)
    text += l.file + " " + std::to_string(l.score) + " " + Escape(l.text) + "\n";
  std::string temp = folder + "/." + kLinksName + ".XXXXXX";
  const int fd = CreateTempFile(&temp);
  if (fd < 0) return errno;
  int error = 0;
  for (std::string_view rest = text; error == 0 && !rest.empty();) {
    const ssize_t n = ::write(fd, rest.data(), rest.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) error = n < 0 ? errno : ENOSPC;
    else rest.remove_prefix(static_cast<size_t>(n));
  }
  if (error == 0 && SyncFd(fd) != 0) error = errno;
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error == 0 && ::rename(temp.c_str(), (folder + "/" + kLinksName).c_str()) != 0) error = errno;
  if (error != 0) ::unlink(temp.c_str());
  return error;
}

// The hall of fame's lock, which every copy of the game takes before it changes the table
// or the links. The table is never read while it is held: the game takes it for that.
struct LinksLock {
  FileLock lock;
  bool Take() {
    if (lock.Acquire(MapPathForWrite("hiscore.dat"), kSharedFileLockWaitMs)) return true;
    std::fprintf(stderr, "zorbit: the hall of fame is locked (%s); replays/%s is left as is\n",
                 lock.Error() == EWOULDBLOCK ? "another copy is saving"
                                             : FileErrorText(lock.Error()).c_str(),
                 kLinksName);
    return false;
  }
};

// A name this folder gives: "<sequence>-YYYYMMDD-HHMMSS.replay". Names of earlier versions,
// "YYYYMMDD-HHMMSS[-N].replay", count as older than any with a sequence. Other names are
// the player's own files and are left alone.
struct Age {
  uint64_t sequence = 0;
  std::string stamp;
  int n = 1;
  auto operator<=>(const Age&) const = default;
};

bool Digits(const std::string& text, size_t from, size_t to) {
  if (from >= to || to > text.size()) return false;
  return std::all_of(text.begin() + from, text.begin() + to,
                     [](char c) { return std::isdigit(static_cast<unsigned char>(c)); });
}

bool Stamp(const std::string& text, size_t at) {
  return Digits(text, at, at + 8) && text.size() >= at + 15 && text[at + 8] == '-' &&
         Digits(text, at + 9, at + 15);
}

bool OurName(const std::string& name, Age* age) {
  const size_t extension = std::char_traits<char>::length(kExtension);
  if (name.size() <= extension || name.compare(name.size() - extension, extension, kExtension))
    return false;
  const std::string base = name.substr(0, name.size() - extension);
  *age = Age{};
  const size_t dash = base.find('-');
  // With a sequence: 1 to 12 digits, then the stamp.
  if (dash >= 1 && dash <= 12 && Digits(base, 0, dash) && base.size() == dash + 16 &&
      Stamp(base, dash + 1)) {
    age->sequence = std::strtoull(base.substr(0, dash).c_str(), nullptr, 10);
    age->stamp = base.substr(dash + 1);
    return age->sequence > 0;
  }
  if (!Stamp(base, 0)) return false;
  age->stamp = base.substr(0, 15);
  if (base.size() == 15) return true;
  if (base[15] != '-' || base.size() < 17 || base.size() > 21 || !Digits(base, 16, base.size()))
    return false;
  age->n = std::atoi(base.c_str() + 16);
  return age->n >= 2;
}

// Our replays in the folder, newest first.
std::vector<std::pair<Age, std::string>> OurReplays(const std::string& folder) {
  std::vector<std::pair<Age, std::string>> ours;
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return ours;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    Age age;
    if (OurName(name, &age) && IsOurFile(folder, name)) ours.push_back({age, name});
  }
  ::closedir(dir);
  std::sort(ours.begin(), ours.end(), std::greater<>());
  return ours;
}

std::string Stamp() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
  return stamp;
}

// Keeps the links of standing entries: of each text and score, as many as the table holds,
// the oldest first (a later equal entry falls out first). A link whose replay is gone keeps
// its place as "-".
std::vector<Link> StandingLinks(const std::string& folder, std::vector<Link> links,
                                const std::vector<HallOfFameEntry>* entries) {
  std::map<std::pair<std::string, int>, int> room;
  if (entries)
    for (const HallOfFameEntry& e : *entries) ++room[{e.text, e.score}];
  std::vector<Link> kept;
  for (Link& l : links) {
    if (entries && room[{l.text, l.score}]-- <= 0) continue;
    if (l.file != kNoReplay && !IsOurFile(folder, l.file)) l.file = kNoReplay;
    kept.push_back(std::move(l));
  }
  return kept;
}

}  // namespace

bool ReadHostFile(const std::string& path, size_t limit, std::string* bytes) {
  const int fd = OpenFd(path, FdOpen::Read);
  if (fd < 0) return false;
  bytes->clear();
  char block[1 << 16];
  bool ok = true;
  for (;;) {
    const ssize_t n = ::read(fd, block, sizeof block);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      ok = n == 0;  // a read that failed (a folder, a disk error) is not an empty file
      break;
    }
    bytes->append(block, static_cast<size_t>(n));
    if (bytes->size() > limit) {
      ok = false;
      break;
    }
  }
  ::close(fd);
  return ok;
}

NewReplayFile CreateInReplayFolder() {
  NewReplayFile file;
  const std::string parent = Folder();
  const std::vector<std::pair<Age, std::string>> ours = OurReplays(parent);
  uint64_t sequence = ours.empty() ? 1 : ours.front().first.sequence + 1;
  const std::string stamp = Stamp();
  // Another copy may take the same number at the same moment: the create tells.
  for (int tries = 0; tries < 1000; ++tries, ++sequence) {
    char number[24];
    std::snprintf(number, sizeof number, "%06llu", static_cast<unsigned long long>(sequence));
    file.name = std::string(number) + "-" + stamp + kExtension;
    file.fd = OpenFd(parent + "/" + file.name, FdOpen::CreateNew);
    if (file.fd >= 0) return file;
    if (errno != EEXIST) break;
  }
  file.error = errno;
  file.name.clear();
  return file;
}

bool LinkInReplayFolder(const std::string& name, const HallOfFameEntry& entry) {
  const std::string folder = Folder();
  LinksLock lock;
  if (!lock.Take()) return false;
  std::optional<std::vector<Link>> links = ReadLinks(folder);
  if (!links) {
    std::fprintf(stderr, "zorbit: cannot read replays/%s; the new entry's replay is not noted\n",
                 kLinksName);
    return false;
  }
  links->push_back({name.empty() ? kNoReplay : name, entry.score, entry.text});
  if (int failure = WriteLinks(folder, *links)) {
    std::fprintf(stderr, "zorbit: cannot write replays/%s: %s\n", kLinksName,
                 FileErrorText(failure).c_str());
    return false;
  }
  return true;
}

void PruneReplayFolder(const std::string& keep) {
  // Read before the lock is taken: the game takes it to read the table.
  const std::optional<std::vector<HallOfFameEntry>> entries =
      standingEntries ? standingEntries() : std::nullopt;
  const std::string folder = Folder();
  LinksLock lock;
  if (!lock.Take()) return;
  std::optional<std::vector<Link>> links = ReadLinks(folder);
  if (!links) {
    std::fprintf(stderr, "zorbit: cannot read replays/%s; no replay is removed\n", kLinksName);
    return;
  }
  const std::vector<Link> kept = StandingLinks(folder, std::move(*links), entries ? &*entries : nullptr);
  if (int failure = WriteLinks(folder, kept)) {
    // Without the links, a replay of an entry would look unlinked: delete nothing.
    std::fprintf(stderr, "zorbit: cannot write replays/%s: %s\n", kLinksName,
                 FileErrorText(failure).c_str());
    return;
  }
  std::set<std::string> linked;
  for (const Link& l : kept) linked.insert(l.file);
  const std::vector<std::pair<Age, std::string>> ours = OurReplays(folder);
  for (size_t i = static_cast<size_t>(kReplaysKept); i < ours.size(); ++i) {
    const std::string& name = ours[i].second;
    if (name != keep && !linked.count(name)) ::unlink((folder + "/" + name).c_str());
  }
}

std::string ReplayForHallOfFameEntry(const char* text, int score, int tie) {
  const std::string folder = MapPath("replays");
  const std::vector<Link> links = ReadLinks(folder).value_or(std::vector<Link>{});
  for (const Link& l : links) {
    if (l.score != score || l.text != (text ? text : "") || tie-- > 0) continue;
    if (l.file == kNoReplay || !IsOurFile(folder, l.file)) return {};
    // Whole, so that it can be given to --replay from any folder.
    std::string path = folder + "/" + l.file;
    char here[4096];
    if (path[0] != '/' && ::getcwd(here, sizeof here)) path = std::string(here) + "/" + path;
    return std::filesystem::path(path).lexically_normal().string();
  }
  return {};
}

void RegisterHallOfFameEntries(StandingEntries entries) {
  standingEntries = std::move(entries);
}
