// The replays/ folder and its links to the hall of fame. A link line is
// "<replay file> <score> <entry text, %XX-escaped>"; the newest link of an entry wins.
#include "platform/replay_folder.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <sstream>

#include "platform/file_replace.h"
#include "platform/paths.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kFolder = "replays";
constexpr const char* kLinks = "replays/halloffame.links";
constexpr const char* kExtension = ".replay";

std::function<std::vector<HallOfFameEntry>()> standingEntries;

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

std::vector<Link> ReadLinks() {
  std::vector<Link> links;
  std::string bytes;
  if (!ReadHostFile(MapPath(kLinks), 1 << 20, &bytes)) return links;
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
// that are neither among the newest nor linked.
void Prune(std::vector<Link> links) {
  const std::vector<HallOfFameEntry> entries =
      standingEntries ? standingEntries() : std::vector<HallOfFameEntry>{};
  std::erase_if(links, [&](const Link& l) { return !Stands(l, entries) || !Exists(l.file); });
  std::string text;
  std::set<std::string> keep;
  for (const Link& l : links) {
    keep.insert(l.file);
    text += l.file + " " + std::to_string(l.score) + " " + Escape(l.text) + "\n";
  }
  ReplaceFile(MapPathForWrite(kLinks), text);

  std::vector<std::string> names;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(MapPath(kFolder), error)) {
    const std::string name = entry.path().filename().string();
    if (entry.is_regular_file() && entry.path().extension() == kExtension) names.push_back(name);
  }
  std::sort(names.begin(), names.end(), std::greater<>());  // newest first: names are times
  for (size_t i = 0; i < names.size(); ++i) {
    if (i < static_cast<size_t>(kReplaysKept) || keep.count(names[i])) continue;
    fs::remove(fs::path(MapPath(kFolder)) / names[i], error);
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
  return true;
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
  std::vector<Link> links = ReadLinks();
  for (const HallOfFameEntry& e : entries) links.push_back({name, e.score, e.text});
  Prune(std::move(links));
  return name;
}

std::string ReplayForHallOfFameEntry(const char* text, int score) {
  const std::vector<Link> links = ReadLinks();
  for (auto it = links.rbegin(); it != links.rend(); ++it) {
    if (it->score == score && it->text == (text ? text : "") && Exists(it->file))
      return (fs::path(MapPath(kFolder)) / it->file).string();
  }
  return {};
}

void RegisterHallOfFameEntries(std::function<std::vector<HallOfFameEntry>()> entries) {
  standingEntries = std::move(entries);
}
