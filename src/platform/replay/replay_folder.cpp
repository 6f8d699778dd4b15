// The replays/ folder and its links to the hall of fame. A link line is
// "<replay file> <score> <entry text, %XX-escaped>"; the newest link of an entry wins.
#include "platform/replay/replay_folder.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <set>
#include <sstream>

#include "platform/files/file_replace.h"
#include "platform/files/paths.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kFolder = "replays";
constexpr const char* kLinks = "replays/halloffame.links";
constexpr const char* kExtension = ".replay";

StandingEntries standingEntries;

struct Link {
  std::string file;
  int score = 0;
  std::string text;
};

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

// nullopt when the file is there but cannot be read: nobody then knows which replays are
// linked. No file is no links.
std::optional<std::vector<Link>> ReadLinks() {
  std::vector<Link> links;
  std::string bytes;
  const std::string path = MapPath(kLinks);
  if (!ReadHostFile(path, 1 << 20, &bytes)) {
    std::error_code error;
    if (!fs::exists(path, error) && !error) return links;
    return std::nullopt;
  }
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

bool Stands(const Link& link, const std::vector<HallOfFameEntry>& entries) {
  return std::any_of(entries.begin(), entries.end(), [&](const HallOfFameEntry& e) {
    return e.score == link.score && e.text == link.text;
  });
}

bool Exists(const std::string& name) {
  std::error_code ignored;
  return fs::is_regular_file(fs::path(MapPath(kFolder)) / name, ignored);
}

// A name this folder gave: "YYYYMMDD-HHMMSS.replay", or "-N" before the extension for the
// Nth in one second. Its place in time is the stamp, then N; other names are the player's
// own files and are left alone.
struct Age {
  std::string stamp;
  int n = 1;
  auto operator<=>(const Age&) const = default;
};

bool OurName(const std::string& name, Age* age) {
  const size_t extension = std::char_traits<char>::length(kExtension);
  if (name.size() < 15 + extension || name.compare(name.size() - extension, extension, kExtension))
    return false;
  const std::string base = name.substr(0, name.size() - extension);
  for (size_t i = 0; i < 15; ++i) {
    if (i == 8 ? base[i] != '-' : !std::isdigit(static_cast<unsigned char>(base[i]))) return false;
  }
  age->stamp = base.substr(0, 15);
  age->n = 1;
  if (base.size() == 15) return true;
  if (base[15] != '-' || base.size() < 17 || base.size() > 21) return false;
  int n = 0;
  for (size_t i = 16; i < base.size(); ++i) {
    if (!std::isdigit(static_cast<unsigned char>(base[i]))) return false;
    n = n * 10 + (base[i] - '0');
  }
  age->n = n;
  return n >= 2;
}

std::string NewName() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
  std::string name = std::string(stamp) + kExtension;
  for (int n = 2; Exists(name); ++n) name = std::string(stamp) + "-" + std::to_string(n) + kExtension;
  return name;
}

// Drops links whose entry has left the hall of fame or whose replay is gone, and replays
// that are neither among the newest nor linked. When the hall of fame cannot be read, no
// link is dropped for its entry: the table may come back.
void Prune(const fs::path& folder, std::vector<Link> links) {
  const std::optional<std::vector<HallOfFameEntry>> entries =
      standingEntries ? standingEntries() : std::nullopt;
  std::error_code error;
  std::erase_if(links, [&](const Link& l) {
    return (entries && !Stands(l, *entries)) || !fs::is_regular_file(folder / l.file, error);
  });
  std::string text;
  std::set<std::string> keep;
  for (const Link& l : links) {
    keep.insert(l.file);
    text += l.file + " " + std::to_string(l.score) + " " + Escape(l.text) + "\n";
  }
  if (int failure = ReplaceFile((folder / "halloffame.links").string(), text)) {
    // Without the links, a replay of an entry would look unlinked: delete nothing.
    std::fprintf(stderr, "zorbit: cannot write %s: %s\n", kLinks, FileErrorText(failure).c_str());
    return;
  }

  std::vector<std::pair<Age, std::string>> ours;
  for (const auto& entry : fs::directory_iterator(folder, error)) {
    const std::string name = entry.path().filename().string();
    Age age;
    if (entry.is_regular_file(error) && OurName(name, &age)) ours.push_back({age, name});
  }
  std::sort(ours.begin(), ours.end(), std::greater<>());  // newest first
  for (size_t i = static_cast<size_t>(kReplaysKept); i < ours.size(); ++i) {
    if (!keep.count(ours[i].second)) fs::remove(folder / ours[i].second, error);
  }
}

}  // namespace

bool ReadHostFile(const std::string& path, size_t limit, std::string* bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  bytes->clear();
  char chunk[1 << 16];
  while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
    bytes->append(chunk, static_cast<size_t>(in.gcount()));
    if (bytes->size() > limit) return false;
  }
  return !in.bad();  // a read that failed (a folder, a disk error) is not an empty file
}

std::string KeepInReplayFolder(const std::string& text, const std::vector<HallOfFameEntry>& entries) {
  const std::string name = NewName();
  const std::string path = std::string(kFolder) + "/" + name;
  const std::string target = MapPathForWrite(path.c_str());
  std::error_code ignored;  // a folder that cannot be made fails the write below
  fs::create_directories(fs::path(target).parent_path(), ignored);
  int failure = ReplaceFile(target, text);
  if (failure != 0) {
    std::fprintf(stderr, "zorbit: cannot keep the replay in %s/: %s\n", kFolder,
                 FileErrorText(failure).c_str());
    return {};
  }
  std::optional<std::vector<Link>> links = ReadLinks();
  if (!links) {
    std::fprintf(stderr, "zorbit: cannot read %s; no replay is removed\n", kLinks);
    return name;
  }
  for (const HallOfFameEntry& e : entries) links->push_back({name, e.score, e.text});
  Prune(fs::path(target).parent_path(), std::move(*links));
  return name;
}

std::string ReplayForHallOfFameEntry(const char* text, int score) {
  const std::vector<Link> links = ReadLinks().value_or(std::vector<Link>{});
  for (auto it = links.rbegin(); it != links.rend(); ++it) {
    if (it->score == score && it->text == (text ? text : "") && Exists(it->file))
      // Whole, so that it can be given to --replay from any folder.
      return fs::absolute(fs::path(MapPath(kFolder)) / it->file).lexically_normal().string();
  }
  return {};
}

void RegisterHallOfFameEntries(StandingEntries entries) {
  standingEntries = std::move(entries);
}
