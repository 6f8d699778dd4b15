// The pace of a replay played in the window: the player's keys pause it and change its
// speed, and the playback waits in real time until each recorded tick is due. Time comes
// in as real milliseconds from the caller, so the arithmetic can be tried without waiting.
#pragma once

#include <string>

class PlaybackPace {
 public:
  enum class Steer { None, Stop };

  // A key of the player's, by PC scan code. A held key's repeats steer nothing.
  Steer Key(int scan, bool down, double nowMs);
  // Focus went elsewhere: no key is held any more.
  void ReleaseAll();
  // A picture reached the screen: a pause asked for before it now holds the playback, so
  // that what is shown while paused already says so.
  void NotePresent();
  // Real milliseconds to wait at nowMs before the recording's tick alongMs (counted from
  // its first view) is due; 0 when it is due, and the tick then counts as shown.
  double WaitMs(double alongMs, double nowMs);
  // Starts the count at the first view.
  void Start(double nowMs);

  bool Holding() const { return pauseAsked_ && presentedSinceAsked_; }
  bool PauseAsked() const { return pauseAsked_; }
  double Speed() const { return speed_; }
  // What the screen says about the playback: "REPLAY", "PAUSED", "FAST x4", "SLOW 1/2".
  std::string Sign() const;

  static constexpr double kFastest = 16.0, kSlowest = 0.125;

 private:
  // The recording's milliseconds shown at realMs, as if played at the current speed.
  double ShownAt(double realMs) const { return shownMs_ + (realMs - shownAtMs_) * speed_; }
  void Rebase(double nowMs);
  void SetSpeed(double speed, double nowMs);

  double shownMs_ = 0.0;    // the recording's milliseconds shown ...
  double shownAtMs_ = 0.0;  // ... at this real time
  double speed_ = 1.0;
  bool pauseAsked_ = false;
  bool presentedSinceAsked_ = false;
  bool held_[256] = {};
};
