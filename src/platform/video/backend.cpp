// The active video backend.
#include "platform/video/backend.h"

namespace {

std::unique_ptr<VideoBackend>& Active() {
  static std::unique_ptr<VideoBackend> backend = MakeHeadlessBackend();
  return backend;
}

}  // namespace

VideoBackend& Video() { return *Active(); }

void SetVideoBackend(std::unique_ptr<VideoBackend> backend) {
  if (backend) Active() = std::move(backend);
}
