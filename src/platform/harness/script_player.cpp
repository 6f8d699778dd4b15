#include "platform/harness/script_player.h"

#include <cstdio>

#include "platform/files/file_replace.h"
#include "platform/runtime/host_input.h"
#include "platform/runtime/run_options.h"
#include "platform/runtime/state_dump.h"
#include "platform/win32/display/present_internal.h"
#include "platform/win32/window/input.h"
#include "platform/win32/window/window_internal.h"

ScriptPlayer::ScriptPlayer(std::vector<ScriptEvent> events, std::string baseFolder)
    : events_(std::move(events)), base_(std::move(baseFolder)) {}

std::string ScriptPlayer::Resolve(const std::string& file) const {
  if (file.empty() || file[0] == '/' || base_.empty()) return file;
  return base_ + "/" + file;
}

void ScriptPlayer::OnClock(uint32_t nowMs) {
  while (next_ < events_.size() && events_[next_].atMs <= nowMs) {
    const ScriptEvent& event = events_[next_];
    const bool output = event.op == ScriptOp::Screenshot || event.op == ScriptOp::Dump;
    // Input written after an output waits for it; an inactive window presents nothing, so
    // there the input (an "activate", say) goes on and the output waits for the next present.
    if (!output && !owed_.empty() && MainWindowActive()) break;
    ++next_;
    if (output) {
      owed_.push_back(event);
    } else if (event.op == ScriptOp::End) {
      ended_ = true;
    } else {
      Apply(event);
    }
  }
  CloseWhenDone();
}

// The outputs owed were due before this present's frame began, and so was every input
// written before them; what comes after them in the script starts now.
void ScriptPlayer::OnPresent(uint32_t nowMs) {
  WriteOwed();
  OnClock(nowMs);
}

void ScriptPlayer::Flush() { WriteOwed(); }

void ScriptPlayer::WriteOwed() {
  for (const ScriptEvent& event : owed_) Output(event);
  owed_.clear();
}

void ScriptPlayer::CloseWhenDone() {
  if (!ended_ || closed_ || !owed_.empty()) return;
  if (!MainWindowHandle()) return;
  closed_ = true;
  QueueHostInput({ReplayKind::Close});
}

void ScriptPlayer::Apply(const ScriptEvent& event) {
  // Through the host's path at its next turn, so that a recording sees scripted input as it
  // sees a window's.
  switch (event.op) {
    case ScriptOp::Move:
      QueueHostInput({ReplayKind::Move, event.x, event.y});
      break;
    case ScriptOp::Press:
    case ScriptOp::Release:
      QueueHostInput({event.op == ScriptOp::Press ? ReplayKind::Press : ReplayKind::Release,
                        event.button});
      break;
    case ScriptOp::KeyDown:
    case ScriptOp::KeyUp:
      QueueHostInput({event.op == ScriptOp::KeyDown ? ReplayKind::KeyDown : ReplayKind::KeyUp,
                        event.scanCode});
      break;
    case ScriptOp::Deactivate:
    case ScriptOp::Activate:
      QueueHostInput({event.op == ScriptOp::Activate ? ReplayKind::Activate
                                                       : ReplayKind::Deactivate});
      break;
    case ScriptOp::Close:
      QueueHostInput({ReplayKind::Close});
      break;
    default:
      break;
  }
}

void ScriptPlayer::Output(const ScriptEvent& event) {
  std::string path = Resolve(event.file);
  int error = event.op == ScriptOp::Screenshot ? WriteScreenshot(path)
                                               : ReplaceFile(path, CurrentStateDump() + "\n");
  if (error == 0) return;
  failed_ = true;
  std::fprintf(stderr, "zorbit: script line %d: cannot write %s: %s\n", event.line, path.c_str(),
               FileErrorText(error).c_str());
}

int WriteScreenshot(const std::string& path) {
  ShownPicture blank;
  const ShownPicture* picture = &LastShownPicture();
  if (picture->pixels.empty()) {
    blank.width = 800;
    blank.height = 600;
    blank.pixels.assign(800 * 600, 0);
    picture = &blank;
  }
  const int width = picture->width, height = picture->height;
  const uint32_t rowBytes = (static_cast<uint32_t>(width) * 3 + 3) & ~3u;
  const uint32_t imageBytes = rowBytes * static_cast<uint32_t>(height);
  unsigned char header[54] = {'B', 'M'};
  auto put32 = [&header](int at, uint32_t v) {
    for (int i = 0; i < 4; ++i) header[at + i] = static_cast<unsigned char>(v >> (8 * i));
  };
  put32(2, 54 + imageBytes);
  put32(10, 54);
  put32(14, 40);
  put32(18, static_cast<uint32_t>(width));
  put32(22, static_cast<uint32_t>(height));
  header[26] = 1;   // planes
  header[28] = 24;  // bits per pixel
  put32(34, imageBytes);
  put32(38, 2835);  // 72 dpi
  put32(42, 2835);
  std::string image(reinterpret_cast<const char*>(header), sizeof header);
  image.reserve(sizeof header + imageBytes);
  std::vector<unsigned char> row(rowBytes, 0);
  for (int y = height - 1; y >= 0; --y) {  // BMP rows go bottom-up
    for (int x = 0; x < width; ++x) {
      uint16_t p = picture->pixels[static_cast<size_t>(y) * width + x];
      unsigned r = (p >> 11) & 31, g = (p >> 5) & 63, b = p & 31;
      row[x * 3 + 0] = static_cast<unsigned char>((b << 3) | (b >> 2));
      row[x * 3 + 1] = static_cast<unsigned char>((g << 2) | (g >> 4));
      row[x * 3 + 2] = static_cast<unsigned char>((r << 3) | (r >> 2));
    }
    image.append(reinterpret_cast<const char*>(row.data()), rowBytes);
  }
  return ReplaceFile(path, image);
}
