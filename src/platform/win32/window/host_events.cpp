// Host input reaching the game: applied to the input state and the message queue, and
// the turns of host events at which it arrives.
#include <vector>

#include "platform/runtime/host_input.h"
#include "platform/runtime/quit_signals.h"
#include "platform/runtime/run_hooks.h"
#include "platform/video/backend.h"
#include "platform/win32/window/input.h"
#include "platform/win32/window/window_internal.h"

void ApplyHostInput(const HostInput& in) {
  switch (in.kind) {
    case ReplayKind::Move:
      input::MouseMove(in.a, in.b);
      break;
    case ReplayKind::Press:
    case ReplayKind::Release:
      input::MouseButton(in.a, in.kind == ReplayKind::Press);
      break;
    case ReplayKind::KeyDown:
    case ReplayKind::KeyUp:
      input::Key(in.a, in.kind == ReplayKind::KeyDown);
      break;
    case ReplayKind::PadDown:
    case ReplayKind::PadUp:
      input::PadButtonChange(static_cast<PadButton>(in.a), in.kind == ReplayKind::PadDown);
      break;
    case ReplayKind::ReleaseAll:
      input::ReleaseAll();
      break;
    case ReplayKind::Activate:
    case ReplayKind::Deactivate:
      PostActivation(in.kind == ReplayKind::Activate);
      break;
    case ReplayKind::Close:
      PostToMainWindow(WM_CLOSE, 0, 0);
      break;
    case ReplayKind::Post:
      PostToMainWindow(static_cast<UINT>(in.a), static_cast<WPARAM>(static_cast<uint32_t>(in.b)),
                       static_cast<LPARAM>(in.c));
      break;
    default:
      break;
  }
}

namespace {

// A quit signal closes the window as the player would, once a window is there to close.
void DeliverQuitSignal() {
  if (MainWindowHandle() && TakeQuitSignal()) DeliverHostInput({ReplayKind::Close});
}

}  // namespace

void DrainHostInput() {
  RunNextStep();
  Video().PollEvents();
  DeliverQuitSignal();
  DeliverQueuedHostInput();
}

void WaitHostInput(int ms) {
  RunNextStep();
  if (!HostInputQueued()) Video().WaitEvents(ms);
  DeliverQuitSignal();
  DeliverQueuedHostInput();
}
