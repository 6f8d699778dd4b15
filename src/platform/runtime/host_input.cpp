// Host input on its way to the game, past the recording and the replay.
#include "platform/runtime/host_input.h"

#include <atomic>
#include <vector>

namespace {

std::atomic<HostInputFilter> filter{nullptr};
std::atomic<HostInputTarget> target{nullptr};
std::vector<HostInput> queued;
unsigned long long delivered = 0;

}  // namespace

void SetHostInputFilter(HostInputFilter f) { filter.store(f); }

void SetHostInputTarget(HostInputTarget t) { target.store(t); }

void DeliverHostInput(const HostInput& in) {
  ++delivered;
  if (HostInputFilter f = filter.load(); f && f(in)) return;
  if (HostInputTarget t = target.load()) t(in);
}

void QueueHostInput(const HostInput& input) { queued.push_back(input); }

void ClearQueuedHostInput() { queued.clear(); }

bool HostInputQueued() { return !queued.empty(); }

unsigned long long HostInputCount() { return delivered; }

void DeliverQueuedHostInput() {
  std::vector<HostInput> due;
  due.swap(queued);
  for (const HostInput& input : due) DeliverHostInput(input);
}
