// Boards for tests: a catalogue of plain pictures in the game module, and boards laid out
// from text, one character per cell ('.' empty; r y p g o the colours; capitals are stars).
#pragma once

#include <string>
#include <vector>

#include "board/balloon_sprite.h"
#include "board/rising_sprite.h"
#include "game/balloon_module.h"
#include "game/balloon_state.h"
#include "shell/app.h"
#include "shell/redraw_list.h"
#include "sprites/sprite.h"

namespace boardtest {

// The catalogue pictures the board and the effects look up, each a 32 x 40 surface.
inline void EnsureCatalogue() {
  if (TheBalloonModule.FindPicture("Red")) return;
  const char* names[] = {"Red",       "Yellow",     "Purple",     "Green",      "Orange",
                         "RedStar",   "YellowStar", "PurpleStar", "GreenStar",  "OrangeStar",
                         "BigRed",    "BigYellow",  "BigPurple",  "BigGreen",   "BigBlue",
                         "pop",       "x2",         "x4",         "x6"};
  if (!TheBalloonModule.pictures) TheBalloonModule.CreateLists();
  for (const char* name : names) {
    auto* picture = new Picture();
    picture->surface = Surface::Create(32, 40, 16);
    picture->width = 32;
    picture->height = 40;
    picture->SetName(name);
    TheBalloonModule.pictures->Append(picture);
  }
}

// Display surfaces so that drawing has somewhere to go.
inline void EnsureSurfaces() {
  static Surface* back = Surface::Create(800, 600, 16);
  static Surface* scene = Surface::Create(800, 600, 16);
  static Surface* layer = Surface::Create(800, 600, 16);
  BackSurface = back;
  if (TheRedrawList.GetBackground() != scene) TheRedrawList.SetBackground(scene);
  TheRedrawList.SetLayer(layer);
}

inline int ColourOf(char c) {
  switch (c | 0x20) {
    case 'r': return 0;
    case 'y': return 1;
    case 'p': return 2;
    case 'g': return 3;
    case 'o': return 4;
  }
  return -1;
}

// Lays the rows out on the game's geometry (origin 154, 7; cells 32 x 40).
inline void Layout(BalloonState& s, const std::vector<std::string>& lines) {
  s.EndRound();
  s.originX = 154;
  s.originY = 7;
  s.rows = static_cast<int>(lines.size());
  s.columns = static_cast<int>(lines[0].size());
  s.cellWidth = 32;
  s.cellHeight = 40;
  s.board = new PtrArray<BalloonSprite>();
  s.effects = new PtrArray<RisingSprite>();
  s.scoreDigits = new PtrArray<Surface>();
  for (int i = 0; i < 255; ++i) s.scoreDigits->Append(Surface::Create(34, 21, 16));
  for (int row = 0; row < s.rows; ++row) {
    for (int column = 0; column < s.columns; ++column) {
      const char c = lines[row][column];
      const int colour = ColourOf(c);
      if (colour < 0) {
        s.board->Append(nullptr);
        continue;
      }
      auto* b = new BalloonSprite();
      b->colour = colour;
      b->star = (c >= 'A' && c <= 'Z') ? 1 : 0;
      b->cell = row * s.columns + column;
      b->present = 1;
      b->width = 32;
      b->height = 40;
      b->x = static_cast<float>(154 + column * 32);
      b->y = static_cast<float>(7 + row * 40);
      s.board->Append(b);
    }
  }
}

// The board back as text in the same notation.
inline std::vector<std::string> Rows(const BalloonState& s) {
  static const char letters[] = "rypgo";
  std::vector<std::string> out;
  for (int row = 0; row < s.rows; ++row) {
    std::string line;
    for (int column = 0; column < s.columns; ++column) {
      const BalloonSprite* b = s.BalloonAt(row * s.columns + column);
      if (!b) {
        line += '.';
      } else {
        char c = letters[b->colour];
        line += b->star ? static_cast<char>(c - 32) : c;
      }
    }
    out.push_back(line);
  }
  return out;
}

// A round state whose pauses and sounds are recorded instead of shown and played.
struct RecordingState : BalloonState {
  RecordingState() {
    minGroup = 2;
    SetAuxC(30);
    showHook = [this](int ms) { pauses.push_back(ms); };
    soundHook = [this](const char* name) { sounds.push_back(name); };
  }
  std::vector<int> pauses;
  std::vector<std::string> sounds;
};

}  // namespace boardtest
