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
    DrawBars(outW, outH, target);
    SDL_RenderCopy(renderer_.get(), Enlarged(box), nullptr, &target);
    SDL_RenderPresent(renderer_.get());
  }

  void SetBarShades(std::vector<uint32_t> rows) override {
    bars_.reset();
    if (rows.size() != static_cast<size_t>(height_)) return;
    bars_.reset(SDL_CreateTexture(renderer_.get(), SDL_PIXELFORMAT_RGB888,
                                  SDL_TEXTUREACCESS_STATIC, 1, height_));
    if (bars_ && SDL_UpdateTexture(bars_.get(), nullptr, rows.data(), 4) != 0) bars_.reset();
    if (bars_) SDL_SetTextureScaleMode(bars_.get(), SDL_ScaleModeLinear);
    top_ = rows.front();
    bottom_ = rows.back();
  }

 private:
  // The picture enlarged nearest-neighbour by whole factors, for the linear step to the box
  // to finish; the picture itself when the box is no larger.
  SDL_Texture* Enlarged(const PictureBox& box) {
    const int fx = SharpFactor(box.width, width_), fy = SharpFactor(box.height, height_);
    if (fx == 1 && fy == 1) {
      SDL_SetTextureScaleMode(texture_.get(), SDL_ScaleModeLinear);
      return texture_.get();
    }
    if (!enlarged_ || fx != factorX_ || fy != factorY_) {
      enlarged_.reset(SDL_CreateTexture(renderer_.get(), SDL_PIXELFORMAT_RGB888,
                                        SDL_TEXTUREACCESS_TARGET, width_ * fx, height_ * fy));
      factorX_ = fx;
      factorY_ = fy;
      if (!enlarged_) return texture_.get();
      SDL_SetTextureScaleMode(enlarged_.get(), SDL_ScaleModeLinear);
    }
    SDL_SetTextureScaleMode(texture_.get(), SDL_ScaleModeNearest);
    SDL_SetRenderTarget(renderer_.get(), enlarged_.get());
    SDL_RenderCopy(renderer_.get(), texture_.get(), nullptr, nullptr);
    SDL_SetRenderTarget(renderer_.get(), nullptr);
    return enlarged_.get();
  }

  void DrawBars(int outW, int outH, const SDL_Rect& box) {
    SDL_Renderer* r = renderer_.get();
    SDL_SetRenderDrawColor(r, 0, 0, 0, 255);
    SDL_RenderClear(r);
    if (!bars_) return;
    auto fill = [&](uint32_t colour, const SDL_Rect& area) {
      SDL_SetRenderDrawColor(r, (colour >> 16) & 255, (colour >> 8) & 255, colour & 255, 255);
      SDL_RenderFillRect(r, &area);
    };
    fill(top_, SDL_Rect{0, 0, outW, box.y});
    fill(bottom_, SDL_Rect{0, box.y + box.h, outW, outH - box.y - box.h});
    const SDL_Rect left{0, box.y, box.x, box.h};
    const SDL_Rect right{box.x + box.w, box.y, outW - box.x - box.w, box.h};
    SDL_RenderCopy(r, bars_.get(), nullptr, &left);
    SDL_RenderCopy(r, bars_.get(), nullptr, &right);
  }

 public:

 private:
  SdlRenderer renderer_;
  SdlTexture texture_;
  int width_, height_;
  bool hasPicture_ = false;
  SdlTexture enlarged_;
  int factorX_ = 0, factorY_ = 0;
  SdlTexture bars_;  // one pixel wide, a colour for each row of the picture
  uint32_t top_ = 0, bottom_ = 0;
};

}  // namespace

std::unique_ptr<Presenter> MakeRendererPresenter(SDL_Window* window, int width, int height,
                                                 bool accelerated) {
  SdlRenderer renderer(SDL_CreateRenderer(
      window, -1, accelerated ? SDL_RENDERER_ACCELERATED : SDL_RENDERER_SOFTWARE));
  if (!renderer) return nullptr;
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
