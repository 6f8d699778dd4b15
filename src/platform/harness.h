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
  bool version = false;       // -V, --version: print the version and exit
  std::string record;         // --record FILE
  std::string replay;         // --replay FILE
  std::string commandLine;    // the rest: the original command line, the launcher's folder
};

const PlatformOptions& GetPlatformOptions();

// The program's start: reads our options, prepares the platform (backend, clock, script)
// and runs the shell's WinMain with the game's command line. Returns the exit code; 2 for
// unusable options or a script that cannot be read. Restores the working folder, so tests
// may run it in-process more than once.
int PlatformMain(int argc, char** argv);

// The seed for srand: --seed when given, else the current time in seconds.
unsigned PlatformSeedTime();

// The game registers one function that describes its state as a JSON object; the script's
// "dump FILE" and --dump-at-exit write what it returns.
void RegisterStateDump(std::function<std::string()> dump);
std::string CurrentStateDump();
