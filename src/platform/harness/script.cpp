#include "platform/harness/script.h"

#include <charconv>
#include <sstream>

#include "platform/win32/window/input.h"

namespace {

constexpr uint32_t kClickHoldMs = 30;
constexpr uint32_t kLongestWaitMs = 24u * 3600u * 1000u;

std::vector<std::string> Split(std::string_view line) {
  std::vector<std::string> words;
  std::istringstream in{std::string(line)};
  std::string word;
  while (in >> word) words.push_back(word);
  return words;
}

bool ReadNumber(const std::string& word, long long low, long long high, long long* out) {
  long long value = 0;
  auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), value);
  if (ec != std::errc() || end != word.data() + word.size()) return false;
  if (value < low || value > high) return false;
  *out = value;
  return true;
}

// The rest of the line after the command word: file names may hold spaces.
std::string RestAfterCommand(std::string_view line) {
  size_t start = line.find_first_not_of(" \t");
  size_t gap = line.find_first_of(" \t", start);
  if (gap == std::string_view::npos) return {};
  std::string_view rest = line.substr(gap);
  size_t begin = rest.find_first_not_of(" \t");
  size_t end = rest.find_last_not_of(" \t\r");
  if (begin == std::string_view::npos) return {};
  return std::string(rest.substr(begin, end - begin + 1));
}

class Reader {
 public:
  Reader(std::vector<ScriptEvent>* events, ScriptError* error) : events_(events), error_(error) {}

  bool Line(std::string_view text, int number);
  void Finish() { Add(ScriptOp::End); }

 private:
  bool Fail(const std::string& message) {
    error_->line = line_;
    error_->message = message;
    return false;
  }
  ScriptEvent& Add(ScriptOp op) {
    ScriptEvent event;
    event.atMs = now_;
    event.op = op;
    event.line = line_;
    events_->push_back(event);
    return events_->back();
  }
  bool Position(const std::vector<std::string>& words, int* x, int* y);
  bool Button(const std::vector<std::string>& words, int* button);
  bool KeyName(const std::vector<std::string>& words, int* scan);
  bool Wait(uint32_t ms) {
    if (now_ + static_cast<uint64_t>(ms) > 0xFFFFFFF0u) return Fail("the script runs past the clock's range");
    now_ += ms;
    return true;
  }

  std::vector<ScriptEvent>* events_;
  ScriptError* error_;
  uint32_t now_ = 0;
  int line_ = 0;
};

bool Reader::Position(const std::vector<std::string>& words, int* x, int* y) {
  long long px, py;
  if (words.size() != 3) return Fail(words[0] + " takes two numbers: X Y");
  if (!ReadNumber(words[1], 0, 799, &px)) return Fail("X must be a whole number from 0 to 799");
  if (!ReadNumber(words[2], 0, 599, &py)) return Fail("Y must be a whole number from 0 to 599");
  *x = static_cast<int>(px);
  *y = static_cast<int>(py);
  return true;
}

bool Reader::Button(const std::vector<std::string>& words, int* button) {
  if (words.size() != 2 || (words[1] != "left" && words[1] != "right"))
    return Fail(words[0] + " takes left or right");
  *button = words[1] == "left" ? 0 : 1;
  return true;
}

bool Reader::KeyName(const std::vector<std::string>& words, int* scan) {
  if (words.size() != 2) return Fail(words[0] + " takes one key name");
  *scan = input::KeyNameToScan(words[1]);
  if (*scan == 0) return Fail("unknown key \"" + words[1] + "\"");
  return true;
}

bool Reader::Line(std::string_view text, int number) {
  line_ = number;
  std::vector<std::string> words = Split(text);
  if (words.empty() || words[0][0] == '#') return true;
  const std::string& command = words[0];
  int x, y, button, scan;
  if (command == "wait") {
    long long ms;
    if (words.size() != 2 || !ReadNumber(words[1], 0, kLongestWaitMs, &ms))
      return Fail("wait takes a number of milliseconds");
    return Wait(static_cast<uint32_t>(ms));
  }
  if (command == "move" || command == "click" || command == "rclick") {
    if (!Position(words, &x, &y)) return false;
    ScriptEvent& move = Add(ScriptOp::Move);
    move.x = x;
    move.y = y;
    if (command == "move") return true;
    int which = command == "click" ? 0 : 1;
    Add(ScriptOp::Press).button = which;
    if (!Wait(kClickHoldMs)) return false;
    Add(ScriptOp::Release).button = which;
    return Wait(kClickHoldMs);
  }
  if (command == "press" || command == "release") {
    if (!Button(words, &button)) return false;
    Add(command == "press" ? ScriptOp::Press : ScriptOp::Release).button = button;
    return true;
  }
  if (command == "key" || command == "keydown" || command == "keyup") {
    if (!KeyName(words, &scan)) return false;
    if (command != "keyup") Add(ScriptOp::KeyDown).scanCode = scan;
    // A key pressed and let go in the same instant could not be seen by anything that
    // polls the keyboard; it is held as long as a click.
    if (command == "key" && !Wait(kClickHoldMs)) return false;
    if (command != "keydown") Add(ScriptOp::KeyUp).scanCode = scan;
    return command == "key" ? Wait(kClickHoldMs) : true;
  }
  if (command == "screenshot" || command == "dump") {
    std::string file = RestAfterCommand(text);
    if (file.empty()) return Fail(command + " takes a file name");
    Add(command == "screenshot" ? ScriptOp::Screenshot : ScriptOp::Dump).file = file;
    return true;
  }
  if (command == "deactivate" || command == "activate" || command == "close") {
    if (words.size() != 1) return Fail(command + " takes nothing after it");
    Add(command == "deactivate" ? ScriptOp::Deactivate
        : command == "activate" ? ScriptOp::Activate
                                : ScriptOp::Close);
    return true;
  }
  return Fail("unknown command \"" + command + "\"");
}

}  // namespace

bool ParseScript(std::string_view text, std::vector<ScriptEvent>* events, ScriptError* error) {
  events->clear();
  Reader reader(events, error);
  int number = 0;
  size_t pos = 0;
  while (pos <= text.size()) {
    size_t newline = text.find('\n', pos);
    if (newline == std::string_view::npos) newline = text.size();
    ++number;
    if (!reader.Line(text.substr(pos, newline - pos), number)) {
      events->clear();
      return false;
    }
    pos = newline + 1;
  }
  reader.Finish();
  return true;
}
