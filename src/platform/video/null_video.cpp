// The headless driver: no window and no display. Input comes from the script player, the
// shown picture is kept by the flip for screenshots, notices go to standard error.
#include <cstdio>

#include "platform/video/backend.h"

namespace {

class HeadlessBackend final : public VideoBackend {
 public:
  bool OpenDisplay(bool, int width, int height, const std::string&) override {
    return width > 0 && height > 0;
  }
  void CloseDisplay() override {}
  bool Show(const Surface&, const std::vector<Rect>&) override { return true; }
  void PollEvents() override {}
  void WaitEvents(int) override {}
  void SetTitle(const std::string&) override {}
  void ShowMessage(const char* caption, const char* text) override {
    std::fprintf(stderr, "%s%s%s\n", caption, *caption ? ": " : "", text);
  }
  void ScreenSize(int* width, int* height) override {
    *width = 800;
    *height = 600;
  }
  bool IsHeadless() const override { return true; }
};

}  // namespace

std::unique_ptr<VideoBackend> MakeHeadlessBackend() { return std::make_unique<HeadlessBackend>(); }
