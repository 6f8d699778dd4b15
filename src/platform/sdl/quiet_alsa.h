// ALSA prints a page of diagnostics on standard error when a machine has no sound card.
// The game says so in one line of its own, so ALSA's own reporter is silenced while the
// device is probed. Where there is no ALSA this does nothing.
#pragma once

class QuietAlsa {
 public:
  QuietAlsa();
  ~QuietAlsa();
  QuietAlsa(const QuietAlsa&) = delete;
  QuietAlsa& operator=(const QuietAlsa&) = delete;

 private:
  void* set_ = nullptr;
};
