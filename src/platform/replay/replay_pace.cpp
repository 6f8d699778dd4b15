#include "platform/replay/replay_pace.h"

#include <algorithm>

namespace {

// A lag up to this much of the recording is made up by playing on without waiting; a longer
// stall (a slow machine, the window being dragged) is let go, so no burst follows it.
constexpr double kCatchUpMs = 100.0;
// While paused, how long one wait lasts before the keys are looked at again.
constexpr double kPausedPollMs = 10.0;
constexpr double kLongestWaitMs = 10.0;

enum Scan {
  kEscape = 1,
  kMinus = 12,
  kEquals = 13,  // also "+" with shift
  kP = 25,
  kSpace = 57,
  kPadMinus = 0x4A,
  kPadPlus = 0x4E,
  kUp = 0xC8,
  kLeft = 0xCB,
  kRight = 0xCD,
  kDown = 0xD0,
};

}  // namespace

void PlaybackPace::Start(double nowMs) {
  shownMs_ = 0.0;
  shownAtMs_ = nowMs;
}

void PlaybackPace::Rebase(double nowMs) {
  if (!Holding()) shownMs_ = ShownAt(nowMs);
  shownAtMs_ = nowMs;
}

void PlaybackPace::SetSpeed(double speed, double nowMs) {
  Rebase(nowMs);
  speed_ = std::clamp(speed, kSlowest, kFastest);
}

PlaybackPace::Steer PlaybackPace::Key(int scan, bool down, double nowMs) {
  if (scan < 0 || scan > 255) return Steer::None;
  const bool repeat = down && held_[scan];
  held_[scan] = down;
  if (!down || repeat) return Steer::None;
  switch (scan) {
    case kEscape:
      return Steer::Stop;
    case kSpace:
    case kP:
      Rebase(nowMs);
      pauseAsked_ = !pauseAsked_;
      presentedSinceAsked_ = false;
      break;
    case kRight:
    case kUp:
    case kEquals:
    case kPadPlus:
      SetSpeed(speed_ * 2.0, nowMs);
      break;
    case kLeft:
    case kDown:
    case kMinus:
    case kPadMinus:
      SetSpeed(speed_ / 2.0, nowMs);
      break;
    default:
      break;
  }
  return Steer::None;
}

void PlaybackPace::ReleaseAll() {
  for (bool& h : held_) h = false;
}

void PlaybackPace::NotePresent() {
  if (pauseAsked_) presentedSinceAsked_ = true;
}

double PlaybackPace::WaitMs(double alongMs, double nowMs) {
  if (Holding()) {
    shownAtMs_ = nowMs;  // no time passes while paused
    return kPausedPollMs;
  }
  const double shown = ShownAt(nowMs);
  if (shown >= alongMs) {
    shownMs_ = alongMs;
    shownAtMs_ = nowMs - std::min(shown - alongMs, kCatchUpMs) / speed_;
    return 0.0;
  }
  return std::min((alongMs - shown) / speed_, kLongestWaitMs);
}

std::string PlaybackPace::Sign() const {
  if (pauseAsked_) return "PAUSED";
  if (speed_ == 1.0) return "REPLAY";
  // Short words: the plate holds about eight letters.
  if (speed_ > 1.0) return "FAST x" + std::to_string(static_cast<int>(speed_));
  return "SLOW 1/" + std::to_string(static_cast<int>(1.0 / speed_));
}
