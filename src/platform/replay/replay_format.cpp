// The replay file: a header of "name value" lines, a line "events", then one event a line
// as "<step> <tick> <what> [values]", the last one "end". Text that may hold spaces or
// odd bytes (setting values, names) is written with %XX escapes.
#include "platform/replay/replay_format.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cinttypes>
#include <cstdio>
#include <cstring>

namespace {

constexpr const char* kMagic = "zorbit-replay";

struct KindName {
  ReplayKind kind;
  const char* name;
  int values;  // how many numbers follow the name
};

constexpr KindName kKinds[] = {
    {ReplayKind::Frame, "frame", 0},       {ReplayKind::Clock, "clock", 1},
    {ReplayKind::Buttons, "buttons", 1},   {ReplayKind::Rate, "rate", 1},
    {ReplayKind::Check, "check", 1},       {ReplayKind::Move, "move", 2},
    {ReplayKind::Press, "press", 1},       {ReplayKind::Release, "release", 1},
    {ReplayKind::KeyDown, "keydown", 1},   {ReplayKind::KeyUp, "keyup", 1},
    {ReplayKind::PadDown, "paddown", 1},   {ReplayKind::PadUp, "padup", 1},
    {ReplayKind::ReleaseAll, "releaseall", 0}, {ReplayKind::Activate, "activate", 0},
    {ReplayKind::Deactivate, "deactivate", 0}, {ReplayKind::Close, "close", 0},
    {ReplayKind::Post, "post", 3},         {ReplayKind::End, "end", 1},
};

const KindName* FindKind(ReplayKind kind) {
  for (const KindName& k : kKinds)
    if (k.kind == kind) return &k;
  return nullptr;
}

const KindName* FindKind(std::string_view name) {
  for (const KindName& k : kKinds)
    if (name == k.name) return &k;
  return nullptr;
}

bool IsPlain(unsigned char c) { return c > 0x20 && c < 0x7F && c != '%'; }

std::string Escape(std::string_view text) {
  std::string out;
  if (text.empty()) return "%";  // an empty field still takes its place on the line
  for (unsigned char c : text) {
    if (IsPlain(c)) {
      out.push_back(static_cast<char>(c));
    } else {
      char hex[4];
      std::snprintf(hex, sizeof hex, "%%%02X", c);
      out += hex;
    }
  }
  return out;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

bool Unescape(std::string_view text, std::string* out) {
  out->clear();
  if (text == "%") return true;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      out->push_back(text[i]);
      continue;
    }
    if (i + 2 >= text.size()) return false;
    int high = HexDigit(text[i + 1]), low = HexDigit(text[i + 2]);
    if (high < 0 || low < 0) return false;
    out->push_back(static_cast<char>(high * 16 + low));
    i += 2;
  }
  return true;
}

std::string Hex(std::string_view bytes) {
  static const char* digits = "0123456789abcdef";
  std::string out;
  out.reserve(bytes.size() * 2);
  for (unsigned char c : bytes) {
    out.push_back(digits[c >> 4]);
    out.push_back(digits[c & 15]);
  }
  return out;
}

bool Unhex(std::string_view text, std::string* out) {
  if (text.size() % 2 != 0) return false;
  out->clear();
  out->reserve(text.size() / 2);
  for (size_t i = 0; i < text.size(); i += 2) {
    int high = HexDigit(text[i]), low = HexDigit(text[i + 1]);
    if (high < 0 || low < 0) return false;
    out->push_back(static_cast<char>(high * 16 + low));
  }
  return true;
}

// Splits on single spaces; no field is empty.
bool Fields(std::string_view line, std::vector<std::string_view>* fields) {
  fields->clear();
  size_t start = 0;
  while (start <= line.size()) {
    size_t space = line.find(' ', start);
    if (space == std::string_view::npos) space = line.size();
    if (space == start) return false;
    fields->push_back(line.substr(start, space - start));
    start = space + 1;
  }
  return true;
}

template <typename T>
bool Number(std::string_view text, T* out, int base = 10) {
  const char* end = text.data() + text.size();
  auto [stop, ec] = std::from_chars(text.data(), end, *out, base);
  return ec == std::errc() && stop == end && !text.empty();
}

bool Rate(std::string_view text, double* out) {
  const char* end = text.data() + text.size();
  auto [stop, ec] = std::from_chars(text.data(), end, *out);
  return ec == std::errc() && stop == end && *out >= 0.0 && *out < 1e6;
}

// Text from the file as a message may show it: odd bytes escaped, and never long.
std::string Shown(std::string_view text) {
  constexpr size_t kLongest = 40;
  std::string out = Escape(text.substr(0, kLongest));
  return text.size() > kLongest ? out + "..." : out;
}

}  // namespace

ReplayReader::ReplayReader(ReplaySource source, std::string_view gameVersion)
    : source_(std::move(source)), version_(gameVersion) {}

bool ReplayReader::Fail(const std::string& message) {
  if (error_.empty()) error_ = "line " + std::to_string(line_) + ": " + message;
  return false;
}

bool ReplayReader::Fill() {
  if (eof_) return false;
  if (at_ > 0) {
    buffer_.erase(0, at_);
    at_ = 0;
  }
  constexpr size_t kBlock = 64u << 10;
  const size_t had = buffer_.size();
  buffer_.resize(had + kBlock);
  long n;
  do n = source_(buffer_.data() + had, kBlock);
  while (n < 0 && errno == EINTR);
  buffer_.resize(had + static_cast<size_t>(n > 0 ? n : 0));
  if (n < 0) {
    eof_ = true;
    return Fail(std::string("the file cannot be read (") + std::strerror(errno) + ")");
  }
  if (n == 0) eof_ = true;
  return n > 0;
}

// whole: the line ended with a newline (a killed writer may leave the last one unfinished).
bool ReplayReader::NextLine(std::string_view* line, bool* whole) {
  size_t end;
  while ((end = buffer_.find('\n', at_)) == std::string::npos) {
    if (buffer_.size() - at_ > kReplayMaxLine) {
      ++line_;
      return Fail("the line is too long");
    }
    if (!Fill()) break;
  }
  if (!error_.empty()) return false;
  if (end == std::string::npos && at_ >= buffer_.size()) return false;
  *whole = end != std::string::npos;
  if (!*whole) end = buffer_.size();
  if (end - at_ > kReplayMaxLine) {
    ++line_;
    return Fail("the line is too long");
  }
  *line = std::string_view(buffer_).substr(at_, end - at_);
  at_ = *whole ? end + 1 : end;
  ++line_;
  if (!line->empty() && line->back() == '\r') line->remove_suffix(1);
  return true;
}

bool ReplayReader::SettingLine(const std::vector<std::string_view>& f) {
  if (log_->settings.size() >= kReplayMaxSettings) return Fail("too many settings");
  ReplaySetting s;
  if (!Unescape(f[1], &s.file) || !Unescape(f[2], &s.section) || !Unescape(f[3], &s.key) ||
      !Unescape(f[4], &s.value))
    return Fail("a setting is damaged");
  log_->settings.push_back(std::move(s));
  return true;
}

bool ReplayReader::HeaderLine(const std::vector<std::string_view>& f) {
  const std::string_view name = f[0];
  if (name == "game" && f.size() == 2) {
    std::string version;
    if (!Unescape(f[1], &version)) return Fail("the game version is damaged");
    if (version != version_)
      return Fail("recorded by Zorbit " + Shown(version) + "; this is Zorbit " + version_ +
                  ", and a replay plays only in the version that made it");
    log_->gameVersion = version;
    seenVersion_ = true;
    return true;
  }
  if (name == "seed" && f.size() == 2) {
    if (!Number(f[1], &log_->seed)) return Fail("the seed is not a number");
    seenSeed_ = true;
    return true;
  }
  if (name == "setting" && f.size() == 5) return SettingLine(f);
  if (name == "halloffame" && f.size() == 2) {
    log_->hasHallOfFame = f[1] != "none";
    if (log_->hasHallOfFame && !Unhex(f[1], &log_->hallOfFame))
      return Fail("the hall of fame is damaged");
    return true;
  }
  return Fail("unknown field \"" + Shown(name) + "\"");
}

bool ReplayReader::EventLine(const std::vector<std::string_view>& f, ReplayEvent* out) {
  if (f.size() < 3) return Fail("an event needs a step, a tick and what happened");
  ReplayEvent e;
  if (!Number(f[0], &e.step)) return Fail("the step is not a number");
  if (!Number(f[1], &e.tick) || e.tick < 0) return Fail("the tick is not a number");
  if (e.step > kReplayMaxStep || e.tick > kReplayMaxTick)
    return Fail("the step or tick lies beyond what a run can reach");
  const KindName* kind = FindKind(f[2]);
  if (!kind) return Fail("unknown event \"" + Shown(f[2]) + "\"");
  if (static_cast<int>(f.size()) != 3 + kind->values)
    return Fail(std::string("\"") + kind->name + "\" takes " + std::to_string(kind->values) +
                " values");
  e.kind = kind->kind;
  bool ok = true;
  switch (e.kind) {
    case ReplayKind::Rate:
      ok = Rate(f[3], &e.rate);
      break;
    case ReplayKind::Check:
    case ReplayKind::End: {
      uint32_t value = 0;
      ok = Number(f[3], &value, 16);
      e.a = value;
      break;
    }
    case ReplayKind::Press:
    case ReplayKind::Release:
      ok = f[3] == "left" || f[3] == "right";
      e.a = f[3] == "right" ? 1 : 0;
      break;
    default: {
      int64_t* values[] = {&e.a, &e.b, &e.c};
      for (int i = 0; i < kind->values && ok; ++i) {
        int32_t v = 0;
        ok = Number(f[3 + i], &v);
        *values[i] = v;
      }
      break;
    }
  }
  if (!ok) return Fail(std::string("a value of \"") + kind->name + "\" is damaged");
  if (anyEvent_ && (e.step < last_.step || e.tick < last_.tick))
    return Fail("the events go back in time");
  anyEvent_ = true;
  last_ = e;
  *out = e;
  return true;
}

bool ReplayReader::ReadHeader(ReplayLog* log) {
  log_ = log;
  std::string_view line;
  std::vector<std::string_view> f;
  bool whole = false;
  if (!NextLine(&line, &whole)) {
    if (!error_.empty()) return false;
    line_ = 1;
    return Fail("the file is empty: not a Zorbit replay");
  }
  if (!Fields(line, &f) || f.size() != 2 || f[0] != kMagic) return Fail("not a Zorbit replay");
  if (!Number(f[1], &format_)) return Fail("not a Zorbit replay");
  if (format_ < 1 || format_ > kReplayFormatVersion)
    return Fail("replay format " + std::to_string(format_) + "; this game reads formats 1 to " +
                std::to_string(kReplayFormatVersion));
  while (NextLine(&line, &whole)) {
    if (line.empty() || line[0] == '#') continue;
    if (!Fields(line, &f)) return Fail("a field is empty");
    if (f.size() == 1 && f[0] == "events") {
      if (!seenVersion_ || !seenSeed_) return Fail("the game version or the seed is missing");
      return true;
    }
    if (!HeaderLine(f)) return false;
  }
  if (!error_.empty()) return false;
  return Fail("the file ends before its events begin");
}

bool ReplayReader::Next(ReplayEvent* event) {
  std::string_view line;
  std::vector<std::string_view> f;
  bool whole = false;
  while (NextLine(&line, &whole)) {
    // A recording written as its run went: an unfinished last line is where it was killed.
    if (!whole && format_ >= 2 && !ended_) return false;
    if (line.empty() || line[0] == '#') continue;
    if (ended_) return Fail("something follows the end");
    if (!Fields(line, &f)) return Fail("a field is empty");
    if (format_ >= 2 && f[0] == "setting" && f.size() == 5) {
      if (!SettingLine(f)) return false;
      continue;
    }
    if (!EventLine(f, event)) return false;
    ended_ = event->kind == ReplayKind::End;
    return true;
  }
  if (!error_.empty()) return false;
  if (!ended_ && format_ < 2) return Fail("the file ends before the run does (cut short?)");
  return false;
}

std::string ReplayHeader(const ReplayLog& log) {
  std::string out = std::string(kMagic) + " " + std::to_string(kReplayFormatVersion) + "\n";
  out += "game " + Escape(log.gameVersion) + "\n";
  out += "seed " + std::to_string(log.seed) + "\n";
  for (const ReplaySetting& s : log.settings) out += ReplaySettingLine(s);
  out += "halloffame " + (log.hasHallOfFame ? Hex(log.hallOfFame) : std::string("none")) + "\n";
  out += "events\n";
  return out;
}

std::string ReplaySettingLine(const ReplaySetting& s) {
  return "setting " + Escape(s.file) + " " + Escape(s.section) + " " + Escape(s.key) + " " +
         Escape(s.value) + "\n";
}

std::string ReplayEventLine(const ReplayEvent& e) {
  const KindName* kind = FindKind(e.kind);
  char buffer[128];
  int n = std::snprintf(buffer, sizeof buffer, "%" PRIu64 " %d %s", e.step, e.tick,
                        kind ? kind->name : "?");
  std::string out(buffer, static_cast<size_t>(n));
  switch (e.kind) {
    case ReplayKind::Rate:
      // Shortest text that reads back to the same double.
      {
        char number[64];
        auto [end, ec] = std::to_chars(number, number + sizeof number, e.rate);
        out += " " + std::string(number, ec == std::errc() ? end : number);
      }
      break;
    case ReplayKind::Check:
    case ReplayKind::End:
      std::snprintf(buffer, sizeof buffer, " %08x", static_cast<uint32_t>(e.a));
      out += buffer;
      break;
    case ReplayKind::Press:
    case ReplayKind::Release:
      out += e.a == 1 ? " right" : " left";
      break;
    default:
      if (kind) {
        const int64_t values[] = {e.a, e.b, e.c};
        for (int i = 0; i < kind->values; ++i) out += " " + std::to_string(values[i]);
      }
      break;
  }
  return out + "\n";
}

std::string WriteReplay(const ReplayLog& log) {
  std::string out = ReplayHeader(log);
  for (const ReplayEvent& e : log.events) out += ReplayEventLine(e);
  return out;
}

bool ReadReplay(std::string_view text, std::string_view gameVersion, ReplayLog* log,
                std::string* error) {
  *log = ReplayLog{};
  if (text.size() > kReplayMaxBytes) {
    *error = "line 1: the file is too large to be a replay";
    return false;
  }
  size_t at = 0;
  ReplayReader reader(
      [&](char* buffer, size_t size) {
        const size_t n = std::min(size, text.size() - at);
        std::memcpy(buffer, text.data() + at, n);
        at += n;
        return static_cast<long>(n);
      },
      gameVersion);
  if (!reader.ReadHeader(log)) {
    *error = reader.Error();
    return false;
  }
  ReplayEvent e;
  while (reader.Next(&e)) log->events.push_back(e);
  if (!reader.Error().empty()) {
    *error = reader.Error();
    return false;
  }
  log->cutOff = !reader.Ended();
  return true;
}
