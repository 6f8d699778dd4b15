// Runs the game headless on a small data folder of plain pictures, and reads its state dumps.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

namespace e2e {

namespace fs = std::filesystem;

inline void WriteBmp(const fs::path& path, int w, int h, int r, int g, int b) {
  const int rowBytes = (w * 3 + 3) & ~3;
  const int size = 54 + rowBytes * h;
  std::vector<unsigned char> out(size, 0);
  auto put32 = [&](int at, int v) {
    for (int i = 0; i < 4; ++i) out[at + i] = (v >> (8 * i)) & 0xFF;
  };
  out[0] = 'B';
  out[1] = 'M';
  put32(2, size);
  put32(10, 54);
  put32(14, 40);
  put32(18, w);
  put32(22, h);
  out[26] = 1;
  out[28] = 24;
  put32(34, rowBytes * h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      // A dark frame around each picture so that every cell reads as one balloon.
      const bool edge = x == 0 || y == 0 || x == w - 1 || y == h - 1;
      unsigned char* p = &out[54 + y * rowBytes + x * 3];
      p[0] = edge ? 0 : b;
      p[1] = edge ? 0 : g;
      p[2] = edge ? 40 : r;
    }
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<char*>(out.data()), size);
}

inline std::vector<fs::path>& MadeFolders() {
  static std::vector<fs::path> folders;
  return folders;
}

// Removes the folders the test made (kept when it failed, to look at).
inline void RemoveMadeFolders() {
  for (const fs::path& root : MadeFolders()) {
    std::error_code ignored;
    fs::remove_all(root, ignored);
  }
  MadeFolders().clear();
}

// A game folder with every picture the round needs, and setup.ini with the given lines.
inline fs::path MakeGameFolder(const std::string& name, const std::string& setupLines) {
  // One folder per test and process: several builds may run these tests at once.
  const fs::path root =
      fs::temp_directory_path() / ("zorbit-e2e-" + name + "-" + std::to_string(getpid()));
  fs::remove_all(root);
  MadeFolders().push_back(root);
  const fs::path game = root / "game";
  fs::create_directories(game / "sounds");
  const struct {
    const char* file;
    int r, g, b;
  } balloons[] = {{"red", 230, 40, 40},    {"blue", 40, 90, 230},  {"yellow", 240, 220, 40},
                  {"purple", 150, 60, 200}, {"green", 40, 180, 60}};
  for (const auto& c : balloons) {
    WriteBmp(game / (std::string(c.file) + ".bmp"), 32, 40, c.r, c.g, c.b);
    WriteBmp(game / (std::string(c.file) + "star.bmp"), 32, 40, c.r / 2, c.g / 2, c.b / 2);
    WriteBmp(game / ("big" + std::string(c.file) + ".bmp"), 80, 100, c.r, c.g, c.b);
  }
  WriteBmp(game / "pop.bmp", 32, 40, 255, 255, 255);
  for (const char* icon : {"x2", "x4", "x6"}) WriteBmp(game / (std::string(icon) + ".bmp"), 24, 24, 250, 250, 0);
  WriteBmp(game / "background.bmp", 800, 600, 90, 150, 220);
  WriteBmp(game / "CloudAnimLeft.bmp", 60, 120, 240, 240, 240);
  WriteBmp(game / "CloudAnimRight.bmp", 60, 120, 240, 240, 240);
  for (const char* side : {"newgame", "exit", "help", "menu"})
    WriteBmp(game / (std::string(side) + ".bmp"), 140, 40, 200, 120, 60);
  WriteBmp(game / "scorefont.bmp", 200, 30, 20, 20, 20);
  WriteBmp(game / "timer.bmp", 60, 370, 250, 120, 0);
  WriteBmp(game / "lightning.bmp", 40, 40, 255, 255, 0);
  WriteBmp(game / "score.bmp", 170, 51 * 21, 255, 255, 255);
  fs::create_directories(game / "title");
  WriteBmp(game / "title" / "HowToPlay.bmp", 400, 300, 250, 250, 230);
  std::ofstream(game / "setup.ini") << "[default]\n" << setupLines;
  return game;
}

// Runs the game on the folder with the script; the dumps land in the folder.
inline int RunGame(const fs::path& game, unsigned seed, const std::string& script,
                   const std::string& extra = "") {
  const char* exe = std::getenv("ZORBIT_EXE");
  if (!exe) return -1;
  const fs::path scriptFile = game / "script.txt";
  std::ofstream(scriptFile) << script;
  // Run inside the folder: the script's dump names are relative to it.
  const std::string command = "cd \"" + game.string() + "\" && \"" + exe + "\" --headless --seed " +
                              std::to_string(seed) + " --script \"" + scriptFile.string() +
                              "\" --data \"" + game.string() + "\" " + extra + " >\"" +
                              (game / "run.log").string() + "\" 2>&1";
  return std::system(command.c_str());
}

struct Cell {
  int colour = -1;  // -1: empty
  int star = 0;
  bool operator==(const Cell&) const = default;
};

struct Dump {
  bool ok = false;
  std::string text;
  long Int(const char* key) const {
    const std::string k = std::string("\"") + key + "\":";
    const size_t at = text.find(k);
    return at == std::string::npos ? -999999 : std::strtol(text.c_str() + at + k.size(), nullptr, 10);
  }
  int columns = 0, rows = 0;
  std::vector<Cell> cells;
  const Cell& At(int column, int row) const { return cells[row * columns + column]; }
  int Balloons() const {
    int n = 0;
    for (const Cell& c : cells) n += c.colour >= 0;
    return n;
  }
};

inline Dump ReadDump(const fs::path& file) {
  Dump d;
  std::ifstream in(file);
  if (!in) return d;
  std::stringstream ss;
  ss << in.rdbuf();
  d.text = ss.str();
  d.columns = static_cast<int>(d.Int("columns"));
  d.rows = static_cast<int>(d.Int("rows"));
  size_t at = d.text.find("\"cells\":[");
  if (at == std::string::npos) return d;
  at += 9;
  while (at < d.text.size() && d.text[at] != ']') {
    if (d.text.compare(at, 4, "null") == 0) {
      d.cells.push_back({});
      at += 4;
    } else {
      const size_t end = d.text.find('}', at);
      Cell c;
      c.colour = std::atoi(d.text.c_str() + d.text.find("\"colour\":", at) + 9);
      c.star = std::atoi(d.text.c_str() + d.text.find("\"star\":", at) + 7);
      d.cells.push_back(c);
      at = end + 1;
    }
    if (d.text[at] == ',') ++at;
  }
  d.ok = static_cast<int>(d.cells.size()) == d.columns * d.rows && d.columns > 0;
  return d;
}

// Screen point at the centre of a cell of the game's board.
inline std::string CellPoint(int column, int row) {
  return std::to_string(154 + column * 32 + 16) + " " + std::to_string(7 + row * 40 + 20);
}

}  // namespace e2e
