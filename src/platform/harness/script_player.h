// Plays a parsed script against the running program: input when the clock reaches it,
// screenshots and dumps at the first present at or after their time, and the window's
// close once everything has happened. Commands act in the order written: input after a
// screenshot or dump waits until that present has been taken.
#pragma once

#include <string>
#include <vector>

#include "platform/harness/script.h"

class ScriptPlayer {
 public:
  // Relative output files are written under baseFolder.
  ScriptPlayer(std::vector<ScriptEvent> events, std::string baseFolder);

  // The clock moved to nowMs.
  void OnClock(uint32_t nowMs);
  // A picture has just been shown.
  void OnPresent(uint32_t nowMs);
  // The program is ending: screenshots and dumps still owed are taken from what there is.
  void Flush();
  // A screenshot or dump could not be written.
  bool OutputFailed() const { return failed_; }

 private:
  void Apply(const ScriptEvent& event);
  void WriteOwed();
  void Output(const ScriptEvent& event);
  void CloseWhenDone();
  std::string Resolve(const std::string& file) const;

  std::vector<ScriptEvent> events_;
  std::string base_;
  size_t next_ = 0;
  std::vector<ScriptEvent> owed_;
  bool ended_ = false;
  bool closed_ = false;
  bool failed_ = false;
};

// 24-bit BMP of the last shown picture (black 800x600 when nothing was shown). 0 on
// success, else the errno of what failed.
int WriteScreenshot(const std::string& path);
