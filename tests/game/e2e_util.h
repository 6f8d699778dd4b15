// Runs the real program headless on a copy of the generated game data, and reads back its
// state dumps and screenshots.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "test_support.h"
#include "surface_support.h"
#include "platform/video/bitmap.h"
#include "rules_model.h"

namespace e2e {

namespace fs = std::filesystem;

struct Cell {
  int colour = -1;  // -1: empty
  int star = 0;
  bool operator==(const Cell&) const = default;
};

struct Dump {
  std::string text;
  int columns = 0, rows = 0;
  std::vector<Cell> cells;

  bool ok() const { return columns > 0 && static_cast<int>(cells.size()) == columns * rows; }
  // The first number under that key; the round's own fields come before the hall of fame's.
  long Int(const std::string& key, size_t from = 0) const {
    const size_t at = text.find("\"" + key + "\":", from);
    return at == std::string::npos ? -999999 : std::atol(text.c_str() + at + key.size() + 3);
  }
  const Cell& At(int column, int row) const { return cells[row * columns + column]; }
  int Balloons() const {
    int n = 0;
    for (const Cell& c : cells) n += c.colour >= 0;
    return n;
  }
  // The hall of fame's first record.
  std::string TopText() const {
    size_t at = text.find("\"hallOfFame\":[{\"text\":\"");
    if (at == std::string::npos) return "";
    at += 23;
    return text.substr(at, text.find('"', at) - at);
  }
  long TopScore() const {
    const size_t at = text.find("\"hallOfFame\":[");
    return at == std::string::npos ? -1 : Int("score", at);
  }
};

// True when the shell finds the tool: the window tests skip where no X server is installed.
inline bool Installed(const char* tool) {
  std::string command = std::string("command -v ") + tool + " >/dev/null 2>&1";
  return std::system(command.c_str()) == 0;
}

// The start of every window test's shell script: an X server on a free display, and
//   game LOG ARGS...  starts the game in it (output to LOG), sets gpid and wid; exit 90
//                     when no window appears;
//   escape            sends Escape; exit 91 when the game had already ended;
//   ends              waits for the game to end and gives its status; exit 92 when it did not.
// The arguments after the folder and the program are the test's own, from $1.
constexpr const char* kXvfbShell = R"SH(
set -u
dir="$1"; exe="$2"; shift 2
display=$(mktemp "$dir/display.XXXXXX")
exec 3>"$display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xpid=$!
trap 'kill $xpid 2>/dev/null; wait $xpid 2>/dev/null' EXIT
for i in $(seq 100); do [ -s "$display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -1 "$display")"
cd "$dir"
game() {
  local log=$1; shift
  # The desktop libraries behind a real window keep allocations of their own until exit;
  # the game's own leaks are checked by the headless runs.
  ASAN_OPTIONS="${ASAN_OPTIONS:-}:detect_leaks=0" SDL_AUDIODRIVER=dummy "$exe" --data game \
    "$@" >"$dir/$log" 2>&1 &
  gpid=$!
  wid=""
  for i in $(seq 150); do
    wid=$(xdotool search --name '^Zorbit' 2>/dev/null | head -1)
    [ -n "$wid" ] && return
    sleep 0.1
  done
  kill $gpid; wait $gpid; exit 90
}
escape() {
  kill -0 $gpid 2>/dev/null || { wait $gpid; exit 91; }
  xdotool windowfocus "$wid" 2>/dev/null
  xdotool key --window "$wid" Escape
}
ends() {
  for i in $(seq "${1:-100}"); do kill -0 $gpid 2>/dev/null || break; sleep 0.1; done
  if kill -0 $gpid 2>/dev/null; then kill $gpid; wait $gpid; exit 92; fi
  wait $gpid
}
)SH";

inline Dump ParseDump(const std::string& text) {
  Dump d;
  d.text = text;
  d.columns = static_cast<int>(d.Int("columns"));
  d.rows = static_cast<int>(d.Int("rows"));
  size_t at = text.find("\"cells\":[");
  if (at == std::string::npos) return d;
  for (at += 9; at < text.size() && text[at] != ']';) {
    Cell c;
    if (text.compare(at, 4, "null") == 0) {
      at += 4;
    } else {
      c.colour = static_cast<int>(d.Int("colour", at));
      c.star = static_cast<int>(d.Int("star", at));
      at = text.find('}', at) + 1;
    }
    d.cells.push_back(c);
    if (text[at] == ',') ++at;
  }
  return d;
}

inline std::set<int> GroupAt(const Dump& d, int cell) {
  return rules::Group(d.columns, d.rows, cell, [&d](int i) { return d.cells[i].colour; });
}

// The first cell (in index order) whose group has at least two balloons.
inline int FirstGroupCell(const Dump& d) {
  for (int i = 0; i < static_cast<int>(d.cells.size()); ++i)
    if (d.cells[i].colour >= 0 && GroupAt(d, i).size() >= 2) return i;
  return -1;
}

// The first cell of a largest group.
inline int LargestGroupCell(const Dump& d) {
  int best = -1;
  size_t size = 0;
  for (int i = 0; i < static_cast<int>(d.cells.size()); ++i) {
    if (d.cells[i].colour < 0) continue;
    const size_t n = GroupAt(d, i).size();
    if (n > size) {
      size = n;
      best = i;
    }
  }
  return best;
}

inline long GroupPoints(const Dump& d, const std::set<int>& group) {
  long stars = 0;
  for (int i : group) stars += d.cells[i].star;
  return rules::Points(static_cast<long>(group.size()), stars);
}

// Screen point at the centre of a cell of the game's board.
inline std::string CellPoint(int column, int row) {
  return std::to_string(154 + column * 32 + 16) + " " + std::to_string(7 + row * 40 + 20);
}

// A scratch folder holding "game" (the data) and, beside it, the script, the dumps and the
// screenshots; the options file of the game goes there too ("../options.ini").
class GameRun : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* exe = std::getenv("ZORBIT_EXE");
    if (!exe || !fs::exists(exe) || !fs::exists(Data() + "/GameOverNMM.bmp"))
      GTEST_SKIP() << "needs the program and its generated data";
    program = exe;
    fs::copy(Data(), dir.File("game"), fs::copy_options::recursive);
  }
  static std::string Data() { return std::string(ZORBIT_BINARY_DIR) + "/game"; }

  void Setup(const std::string& settings) {
    WriteWholeFile(dir.File("game/setup.ini"), "[default]\n" + settings);
  }
  // Runs the program on the script from the scratch folder; its exit code.
  int Run(const std::string& script, int maxMs = 600000, const std::string& extra = "") {
    WriteWholeFile(dir.File("script.txt"), script);
    const std::string command = "cd '" + dir.path() + "' && '" + program +
                                "' --headless --seed 4242 --data game --script script.txt"
                                " --max-ms " + std::to_string(maxMs) + " " + extra +
                                " > out.txt 2>&1";
    return std::system(command.c_str());
  }
  // Runs kXvfbShell and then body from the scratch folder, with args; the exit status.
  int RunInXvfb(const char* body, const std::string& args) {
    WriteWholeFile(dir.File("xvfb.sh"), std::string(kXvfbShell) + body);
    const std::string command =
        "bash '" + dir.File("xvfb.sh") + "' '" + dir.path() + "' '" + program + "' " + args;
    return std::system(command.c_str());
  }
  Dump Read(const std::string& name) { return ParseDump(ReadWholeFile(dir.File(name))); }
  // The board at the start of play.
  Dump StartBoard() {
    EXPECT_EQ(Run("wait 300\ndump start.json\n", 1000), 0);
    return Read("start.json");
  }

  // The share of the picture's pixels (colour key excepted) found at left, top on the
  // screenshot; a dialog's picture is centred (left -1).
  double PictureShown(const std::string& shot, const std::string& picture, int left = -1,
                      int top = -1) {
    return FrameShown(shot, picture, 0, 1, left, top);
  }
  // The same for one of a picture's frames side by side (frame of frames).
  double FrameShown(const std::string& shot, const std::string& picture, int frame, int frames,
                    int left, int top) {
    std::string a = ReadWholeFile(dir.File(shot)), b = ReadWholeFile(Data() + "/" + picture);
    SurfacePtr screen(LoadBitmapFromMemory(a.data(), a.size(), 16));
    SurfacePtr page(LoadBitmapFromMemory(b.data(), b.size(), 16));
    if (!screen || !page) return 0;
    const int w = page->width() / frames, h = page->height(), from = frame * w;
    if (left < 0) {
      left = (800 - w) / 2;
      top = (600 - h) / 2;
    }
    long same = 0, counted = 0;
    for (int y = 0; y < h && top + y < 600; y += 3)
      for (int x = 0; x < w && left + x < 800; x += 3) {
        const uint16_t p = Px(*page, from + x, y);
        if (p == 0x001F) continue;
        ++counted;
        same += Px(*screen, left + x, top + y) == p;
      }
    return counted ? double(same) / double(counted) : 0;
  }
  // Screenshots every 250 ms, and the first of them that shows a dialog's picture (-1: none).
  static std::string Shots(int count) {
    std::string lines;
    for (int i = 0; i < count; ++i) lines += "wait 250\nscreenshot shot" + std::to_string(i) + ".bmp\n";
    return lines;
  }
  int FirstShotShowing(int count, const std::string& picture) {
    for (int i = 0; i < count; ++i)
      if (PictureShown("shot" + std::to_string(i) + ".bmp", picture) > 0.9) return i;
    return -1;
  }

  ScratchDir dir;
  std::string program;
};

}  // namespace e2e
