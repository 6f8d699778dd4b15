// What a run hangs into the rooms below it: its recording or replay and its script. The
// rooms below call these at fixed points without knowing who listens. Each hook is one
// function, installed before main (app/install_hooks.cpp); one not installed does nothing,
// as in a run with neither recording nor script.
#pragma once

#include <string>

struct RunHooks {
  // A step of the run: each turn of host events into input.
  void (*nextStep)() = nullptr;
  // A picture reached the screen.
  void (*afterPresent)() = nullptr;
  // The main window is about to be destroyed, with the game's state still whole.
  void (*beforeTeardown)() = nullptr;
  // The frame rate the game is told, given the measured one.
  float (*frameRate)(float live) = nullptr;
  // A setting as the run reads it (noted, or given back while replaying).
  void (*setting)(const char* file, const char* section, const char* key,
                  std::string* value) = nullptr;
  // Where the hall of fame lives instead of the player's own (empty if nowhere else).
  const std::string& (*hallOfFameSandbox)() = nullptr;
  // The display's connection is gone (the game's thread only): the run ends as a quit does,
  // with what it owes written, but nothing touches the display again. Does not return.
  void (*displayLost)() = nullptr;
};

// Installs every hook at once; before any thread of the run starts.
void InstallRunHooks(const RunHooks& hooks);

void RunNextStep();
void RunAfterPresent();
void RunBeforeTeardown();
float RunFrameRate(float live);
void RunSetting(const char* file, const char* section, const char* key, std::string* value);
const std::string& RunHallOfFameSandbox();
[[noreturn]] void RunDisplayLost();
