// The options this run was started with (our port's command line), as every room may read
// them. The app fills them in before the run starts.
#pragma once

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
// The app's, while it starts a run (main thread, before the run's threads).
PlatformOptions& EditPlatformOptions();
