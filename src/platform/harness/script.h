// The headless harness's input scripts: timed mouse, keyboard and window events, and the
// screenshots and state dumps to take.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

enum class ScriptOp {
  Move, Press, Release, KeyDown, KeyUp, Screenshot, Dump, Deactivate, Activate, Close, End
};

struct ScriptEvent {
  uint32_t atMs = 0;  // game time at which it happens
  ScriptOp op = ScriptOp::End;
  int x = 0, y = 0;   // Move
  int button = 0;     // Press, Release: 0 left, 1 right
  int scanCode = 0;   // KeyDown, KeyUp
  std::string file;   // Screenshot, Dump
  int line = 0;       // where it was written
};

struct ScriptError {
  int line = 0;
  std::string message;
};

// Reads a whole script. The events are in time order and end with one End event at the
// time the script runs out. On a line it cannot read: false, with that line's number.
bool ParseScript(std::string_view text, std::vector<ScriptEvent>* events, ScriptError* error);
