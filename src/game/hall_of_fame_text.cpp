// The hall of fame as text: the JSON list of the state dump and the `--scores` listing.
#include <cstdio>
#include <cstring>
#include <string>

#include "game/high_score_table.h"
#include "platform/files/paths.h"

namespace {

// Length of the valid UTF-8 sequence at p (at most n bytes), or 0 if there is none.
size_t Utf8Length(const unsigned char* p, size_t n) {
  unsigned char c = p[0];
  size_t len = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
  if (len == 0 || len > n) return 0;
  for (size_t i = 1; i < len; ++i)
    if ((p[i] & 0xC0) != 0x80) return 0;
  if (len == 2 && c < 0xC2) return 0;  // overlong
  if (len == 3) {
    if (c == 0xE0 && p[1] < 0xA0) return 0;  // overlong
    if (c == 0xED && p[1] >= 0xA0) return 0;  // surrogate
  }
  if (len == 4 && ((c == 0xF0 && p[1] < 0x90) || c > 0xF4 || (c == 0xF4 && p[1] >= 0x90)))
    return 0;
  return len;
}

// A JSON string; bytes that are not UTF-8 are taken as Latin-1 so the output stays valid.
void AppendJsonString(std::string& out, const char* text) {
  const auto* p = reinterpret_cast<const unsigned char*>(text);
  size_t n = std::strlen(text);
  out.push_back('"');
  for (size_t i = 0; i < n;) {
    unsigned char c = p[i];
    char esc[8];
    if (c == '"' || c == '\\') {
      out.push_back('\\');
      out.push_back(char(c));
    } else if (c < 0x20 || c == 0x7F) {
      std::snprintf(esc, sizeof esc, "\\u%04x", c);
      out += esc;
    } else if (size_t len = Utf8Length(p + i, n - i)) {
      out.append(text + i, len);
      i += len;
      continue;
    } else {
      std::snprintf(esc, sizeof esc, "\\u%04x", c);
      out += esc;
    }
    ++i;
  }
  out.push_back('"');
}

// The name part of an entry text, with control characters made harmless for a terminal.
std::string PrintableField(const char* text, char stop) {
  std::string s;
  for (const char* p = text; *p && *p != stop; ++p) {
    unsigned char c = static_cast<unsigned char>(*p);
    s.push_back(c < 0x20 || c == 0x7F ? '?' : char(c));
  }
  return s;
}

}  // namespace

std::string HallOfFameJson(const HighScoreTable& table) {
  std::string out = "[";
  for (int i = 0; const HighScoreRecord* r = table.Record(i); ++i) {
    if (i > 0) out += ",";
    out += "{\"text\":";
    AppendJsonString(out, r->text);
    out += ",\"score\":" + std::to_string(r->score) + "}";
  }
  return out + "]";
}

std::optional<std::vector<HallOfFameEntry>> StandingHallOfFame() {
  std::vector<HallOfFameEntry> entries;
  HighScoreTable table;
  table.Init(kHallOfFameSize);
  if (!table.Read("hiscore.dat")) return std::nullopt;
  for (int i = 0; const HighScoreRecord* r = table.Record(i); ++i)
    entries.push_back({r->text, r->score});
  return entries;
}

int PrintHallOfFame(FILE* out) {
  HighScoreTable table;
  table.Init(kHallOfFameSize);
  TableFile file = table.Load("hiscore.dat");
  if (file == TableFile::Missing) {
    std::fprintf(out, "No hall of fame here yet (no %s).\n", MapPath("hiscore.dat").c_str());
    return 0;
  }
  if (file == TableFile::Unreadable) {
    // Said on both streams: the listing may go to a file, the warning must reach a person.
    const char* warning =
        "hiscore.dat is damaged and cannot be read whole; below are the records that could be "
        "kept. The next saved score keeps the damaged file as hiscore.dat.unreadable-<time>.\n";
    std::fputs(warning, out);
    if (out != stderr) std::fprintf(stderr, "zorbit: %s", warning);
  }
  std::fprintf(out, "%4s  %10s  %s\n", "Rank", "Score", "Player");
  int shown = 0;
  for (int i = 0; const HighScoreRecord* r = table.Record(i); ++i) {
    if (r->score == 0 && r->text[0] == '\0') continue;  // never filled
    std::string name = PrintableField(r->text, ':');
    // Equal entries are told apart by how many of them stand above.
    int tie = 0;
    for (int j = 0; j < i; ++j) {
      const HighScoreRecord* above = table.Record(j);
      tie += above->score == r->score && std::strcmp(above->text, r->text) == 0;
    }
    std::string replay = ReplayForHallOfFameEntry(r->text, r->score, tie);
    std::fprintf(out, "%4d  %10d  %s", i + 1, r->score, name.c_str());
    if (!replay.empty()) std::fprintf(out, "  (replay: %s)", replay.c_str());
    std::fputc('\n', out);
    ++shown;
  }
  if (shown == 0) std::fprintf(out, "The hall of fame is empty.\n");
  return 1;
}
