// The newest picture, handed from the game's loop to a thread that shows it at the
// display's pace. Posting copies only the changed areas and never waits for a present; a
// picture not yet taken is simply brought up to date by the next post (newer replaces
// older), and what was posted before a close is still handed out.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <vector>

#include "platform/video/ddraw.h"

class PresentMailbox {
 public:
  // For 16-bit pictures of this size.
  PresentMailbox(int width, int height);

  // Copies the changed areas of the picture, the game's whole newest one; nothing when
  // `changed` is empty or the picture is of another size.
  void Post(const Surface& picture, const std::vector<Rect>& changed);
  // The window must be painted again from what it shows (uncovered, or resized to this
  // many pixels).
  void RequestRepaint(int outputWidth, int outputHeight);
  // Lets the taker finish: it still gets what was posted before, then Take returns false.
  void Close();

  struct Delivery {
    std::vector<Rect> changed;  // areas that differ from the taker's copy before this take
    bool repaint = false;       // the whole window to be drawn again
    int outputWidth = 0, outputHeight = 0;
  };
  // Waits until there is something to show or the box is closed, then brings `picture`
  // (width x height pixels, row after row) up to date in the changed areas only. false
  // once closed with nothing left.
  bool Take(std::vector<uint16_t>* picture, Delivery* delivery);

  int width() const { return width_; }
  int height() const { return height_; }

 private:
  void Note(const Rect& area);

  const int width_, height_;
  std::mutex lock_;
  std::condition_variable ready_;
  std::vector<uint16_t> latest_;  // the newest picture posted
  std::vector<Rect> changed_;     // where it differs from what was last taken
  bool repaint_ = false;
  bool closed_ = false;
  int outputWidth_ = 0, outputHeight_ = 0;
};
