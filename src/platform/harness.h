// Our port's command-line options and the hooks of the headless harness.
#pragma once

#include <functional>
#include <string>

struct PlatformOptions {
  std::string dataDir;        // --data DIR
  bool headless = false;      // --headless
  bool hasSeed = false;       // --seed N
  unsigned seed = 0;
  std::string script;         // --script FILE
  int maxMs = -1;             // --max-ms N (headless default 600000, otherwise none)
  std::string audioOut;       // --audio-out FILE.wav
  std::string dumpAtExit;     // --dump-at-exit FILE
  bool scores = false;        // --scores: print the hall of fame and exit
  std::string commandLine;    // the rest: the original command line, cut to 255 characters
};

const PlatformOptions& GetPlatformOptions();

// The seed for srand: --seed when given, else the current time in seconds.
unsigned PlatformSeedTime();

// The game registers one function that describes its state as a JSON object; the script's
// "dump FILE" and --dump-at-exit write what it returns.
void RegisterStateDump(std::function<std::string()> dump);
std::string CurrentStateDump();
