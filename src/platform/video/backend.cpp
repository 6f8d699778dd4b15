// The active video backend.
#include "platform/video/backend.h"

namespace {

std::unique_ptr<VideoBackend>& Active() {
  static std::unique_ptr<VideoBackend> backend = MakeHeadlessBackend();
  return backend;
}

}  // namespace

namespace {
void (*fullScreenListener)(bool) = nullptr;
}  // namespace

void SetFullScreenListener(void (*listener)(bool fullScreen)) { fullScreenListener = listener; }

void NotifyFullScreen(bool fullScreen) {
  if (fullScreenListener) fullScreenListener(fullScreen);
}

VideoBackend& Video() { return *Active(); }

void SetVideoBackend(std::unique_ptr<VideoBackend> backend) {
  if (backend) Active() = std::move(backend);
}
