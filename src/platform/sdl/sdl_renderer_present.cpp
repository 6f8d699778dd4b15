// Presenting through an SDL renderer: the picture lives in a texture, changed areas are
// uploaded, and the texture is drawn letterboxed into the window. Without vsync: the
// present returns at once, so showing a picture never holds the frame loop back.
#include <cstdlib>
#include <cstring>

#include "platform/sdl/sdl_present.h"
#include "platform/video/letterbox.h"

namespace {

class RendererPresenter final : public Presenter {
 public:
  RendererPresenter(SdlRenderer renderer, SdlTexture texture, int width, int height)
      : renderer_(std::move(renderer)),
        texture_(std::move(texture)),
        width_(width),
        height_(height) {}

  bool Update(const Surface& picture, const std::vector<Rect>& changed) override {
    if (changed.empty()) return true;
    for (const Rect& r : changed) {
      SDL_Rect area{r.left, r.top, r.right - r.left, r.bottom - r.top};
      const uint8_t* first = picture.pixels() + static_cast<size_t>(r.top) * picture.pitch() +
                             static_cast<size_t>(r.left) * 2;
      if (SDL_UpdateTexture(texture_.get(), &area, first, picture.pitch()) != 0) return false;
    }
    hasPicture_ = true;
    Repaint();
    return true;
  }

  // A renderer's back buffer is undefined after a present, so every present draws it all.
  void Repaint() override {
    if (!hasPicture_) return;
    int outW = 0, outH = 0;
    SDL_GetRendererOutputSize(renderer_.get(), &outW, &outH);
    PictureBox box = FitPicture(outW, outH, width_, height_);
    SDL_Rect target{box.x, box.y, box.width, box.height};
    SDL_SetRenderDrawColor(renderer_.get(), 0, 0, 0, 255);
    SDL_RenderClear(renderer_.get());
    SDL_RenderCopy(renderer_.get(), texture_.get(), nullptr, &target);
    SDL_RenderPresent(renderer_.get());
  }

 private:
  SdlRenderer renderer_;
  SdlTexture texture_;
  int width_, height_;
  bool hasPicture_ = false;
};

}  // namespace

std::unique_ptr<Presenter> MakeRendererPresenter(SDL_Window* window, int width, int height,
                                                 bool accelerated) {
  SdlRenderer renderer(SDL_CreateRenderer(
      window, -1, accelerated ? SDL_RENDERER_ACCELERATED : SDL_RENDERER_SOFTWARE));
  if (!renderer) return nullptr;
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "linear");
  SdlTexture texture(SDL_CreateTexture(renderer.get(), SDL_PIXELFORMAT_RGB565,
                                       SDL_TEXTUREACCESS_STREAMING, width, height));
  if (!texture) return nullptr;
  return std::make_unique<RendererPresenter>(std::move(renderer), std::move(texture),
                                             width, height);
}

const char* PresentName(PresentKind kind) {
  switch (kind) {
    case PresentKind::Framebuffer:
      return "framebuffer";
    case PresentKind::Software:
      return "software";
    default:
      return "accelerated";
  }
}

std::vector<PresentKind> PresentOrder() {
  std::vector<PresentKind> order{PresentKind::Framebuffer, PresentKind::Software,
                                 PresentKind::Accelerated};
  const char* wanted = std::getenv("ZORBIT_PRESENT");
  if (!wanted || !*wanted) return order;
  for (size_t i = 0; i < order.size(); ++i) {
    if (std::strcmp(wanted, PresentName(order[i])) == 0) {
      PresentKind kind = order[i];
      order.erase(order.begin() + static_cast<long>(i));
      order.insert(order.begin(), kind);
    }
  }
  return order;
}
