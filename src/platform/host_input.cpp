// Host input on its way to the game, past the recording and the replay.
#include "platform/host_input.h"

#include <vector>

#include "platform/backend.h"
#include "platform/input.h"
#include "platform/quit_signals.h"
#include "platform/replay_session.h"
#include "platform/window_internal.h"

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

void DeliverHostInput(const HostInput& in) {
  if (replay::Playing()) {
    replay::PlaybackControl(in);
    return;
  }
  replay::NoteInput(in);
  ApplyHostInput(in);
}

namespace {

std::vector<HostInput> queued;

void DeliverQueued() {
  std::vector<HostInput> due;
  due.swap(queued);
  for (const HostInput& input : due) DeliverHostInput(input);
}

}  // namespace

void QueueHostInput(const HostInput& input) { queued.push_back(input); }

void ClearQueuedHostInput() { queued.clear(); }

void DrainHostInput() {
  replay::NextStep();
  Video().PollEvents();
  DeliverQuitSignal();
  DeliverQueued();
}

void WaitHostInput(int ms) {
  replay::NextStep();
  if (queued.empty()) Video().WaitEvents(ms);
  DeliverQuitSignal();
  DeliverQueued();
}
