// Presenting through the window's own framebuffer: changed areas are converted (and, in a
// larger window, scaled sharp: nearest-neighbour to a whole factor, then linear) into it and
// only those areas are sent to the display server.
// No graphics driver is loaded, which keeps start-up short and the process small.
#include <algorithm>
#include <cstdint>
#include <thread>

#include "platform/sdl/prefault_pages.h"
#include "platform/sdl/sdl_present.h"
#include "platform/video/letterbox.h"

namespace {

// RGB565 to 8-bit channels by repeating the high bits, as screenshots do.
uint32_t ToXrgb(uint16_t p) {
  uint32_t r = (p >> 11) & 31, g = (p >> 5) & 63, b = p & 31;
  return ((r << 3 | r >> 2) << 16) | ((g << 2 | g >> 4) << 8) | (b << 3 | b >> 2);
}

// One channel-wise blend of two XRGB pixels, weight w of 256 on b.
uint32_t Blend(uint32_t a, uint32_t b, uint32_t w) {
  uint32_t rb = ((a & 0xFF00FF) * (256 - w) + (b & 0xFF00FF) * w) >> 8;
  uint32_t g = ((a & 0x00FF00) * (256 - w) + (b & 0x00FF00) * w) >> 8;
  return (rb & 0xFF00FF) | (g & 0x00FF00);
}

// Where an output pixel samples the picture: the lower source index and the weight (of 256)
// of the next, for pixel centres mapped linearly, clamped at the edges.
struct Tap {
  int index;
  uint32_t weight;
};

Tap TapFor(int out, int outSize, int inSize) {
  int64_t pos = ((int64_t{2} * out + 1) * inSize * 256) / (int64_t{2} * outSize) - 128;
  pos = std::clamp<int64_t>(pos, 0, int64_t{inSize - 1} * 256);
  Tap tap{static_cast<int>(pos >> 8), static_cast<uint32_t>(pos & 255)};
  if (tap.index >= inSize - 1) tap = Tap{inSize - 1, 0};
  return tap;
}

// The window's framebuffer is memory shared with the display server, new and untouched: the
// first picture written into it faulted every page in, one by one, on the way to the first
// present. A thread of its own makes the pages present meanwhile, while the game loads its
// pictures. Making a page present changes nothing in it, so the game may draw at any time.
class FramebufferWarmer {
 public:
  void Start(SDL_Surface* out) {
    auto* from = static_cast<uint8_t*>(out->pixels);
    const size_t bytes = static_cast<size_t>(out->h) * static_cast<size_t>(out->pitch);
    if (!from || bytes == 0) return;
    thread_ = std::thread([from, bytes] {
      PrefaultPages(from, bytes);
    });
  }
  // Before the surface may go (a resize replaces it) and before the first picture.
  void Finish() {
    if (thread_.joinable()) thread_.join();
  }
  ~FramebufferWarmer() { Finish(); }

 private:
  std::thread thread_;
};

class FramebufferPresenter final : public Presenter {
 public:
  FramebufferPresenter(SDL_Window* window, int width, int height)
      : window_(window), width_(width), height_(height),
        picture_(static_cast<size_t>(width) * height, 0) {}

  bool Update(const Surface& picture, const std::vector<Rect>& changed) override {
    if (changed.empty()) return true;
    warmer_.Finish();
    for (const Rect& r : changed) Convert(picture, r);
    hasPicture_ = true;
    SDL_Surface* out = Output();
    if (!out) return false;
    // The first picture, or one in a window of a new size, paints the bars too.
    if (!painted_) {
      Repaint();
      return true;
    }
    std::vector<SDL_Rect> sent;
    sent.reserve(changed.size());
    for (const Rect& r : changed) {
      SDL_Rect area = OutputArea(r);
      if (area.w > 0 && area.h > 0) {
        Draw(out, area);
        sent.push_back(area);
      }
    }
    return sent.empty() ||
           SDL_UpdateWindowSurfaceRects(window_, sent.data(), static_cast<int>(sent.size())) == 0;
  }

  void Repaint() override {
    warmer_.Finish();
    if (!hasPicture_) return;
    SDL_Surface* out = Output();
    if (!out) return;
    DrawBars(out);
    Draw(out, SDL_Rect{box_.x, box_.y, box_.width, box_.height});
    SDL_UpdateWindowSurface(window_);
    painted_ = true;
  }

  void SetBarShades(std::vector<uint32_t> rows) override { bars_ = std::move(rows); }

  void Warm(SDL_Surface* out) { warmer_.Start(out); }

  // The window's surface in a format this presenter writes, or null.
  SDL_Surface* Output() {
    SDL_Surface* out = SDL_GetWindowSurface(window_);
    if (!out || out->format->BytesPerPixel != 4 || out->format->Rmask != 0xFF0000 ||
        out->format->Gmask != 0x00FF00 || out->format->Bmask != 0x0000FF)
      return nullptr;
    const PictureBox box = FitPicture(out->w, out->h, width_, height_);
    if (box.x != box_.x || box.y != box_.y || box.width != box_.width || box.height != box_.height)
      painted_ = false;
    box_ = box;
    return out;
  }

 private:
  void Convert(const Surface& picture, const Rect& r) {
    for (int y = r.top; y < r.bottom; ++y) {
      const uint16_t* from = picture.row16(y);
      uint32_t* to = &picture_[static_cast<size_t>(y) * width_];
      for (int x = r.left; x < r.right; ++x) to[x] = ToXrgb(from[x]);
    }
  }

  // The output pixels whose samples read the picture area: with scaling, the filter reaches
  // one source pixel further on each side.
  SDL_Rect OutputArea(const Rect& r) const {
    if (box_.width <= 0 || box_.height <= 0) return SDL_Rect{0, 0, 0, 0};
    auto low = [](int in, int inSize, int outSize) {
      return static_cast<int>(std::max<int64_t>(0, int64_t{in - 1} * outSize / inSize));
    };
    auto high = [](int in, int inSize, int outSize) {
      return static_cast<int>(
          std::min<int64_t>(outSize, (int64_t{in + 1} * outSize + inSize - 1) / inSize));
    };
    int x0 = low(r.left, width_, box_.width), x1 = high(r.right, width_, box_.width);
    int y0 = low(r.top, height_, box_.height), y1 = high(r.bottom, height_, box_.height);
    if (box_.width == width_ && box_.height == height_) {  // one to one: exactly the area
      x0 = r.left, x1 = r.right, y0 = r.top, y1 = r.bottom;
    }
    return SDL_Rect{box_.x + x0, box_.y + y0, x1 - x0, y1 - y0};
  }

  // The bars beside a picture of another shape: the sky of the game's background row by row
  // beside it, its top and bottom colours above and below.
  void DrawBars(SDL_Surface* out) {
    if (bars_.size() != static_cast<size_t>(height_) || box_.height <= 0) {
      SDL_FillRect(out, nullptr, 0);
      return;
    }
    if (SDL_MUSTLOCK(out) && SDL_LockSurface(out) != 0) return;
    for (int y = 0; y < out->h; ++y) {
      const int row = std::clamp<int>(static_cast<int>(int64_t{y - box_.y} * height_ / box_.height), 0,
                                      height_ - 1);
      const uint32_t colour = bars_[static_cast<size_t>(row)];
      auto* to = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(out->pixels) +
                                             static_cast<size_t>(y) * out->pitch);
      const bool beside = y >= box_.y && y < box_.y + box_.height;
      if (!beside) {
        std::fill_n(to, out->w, colour);
        continue;
      }
      std::fill_n(to, box_.x, colour);
      std::fill(to + box_.x + box_.width, to + out->w, colour);
    }
    if (SDL_MUSTLOCK(out)) SDL_UnlockSurface(out);
  }

  // Fills an area of the output (inside the picture's box) from the picture.
  void Draw(SDL_Surface* out, const SDL_Rect& area) {
    if (SDL_MUSTLOCK(out) && SDL_LockSurface(out) != 0) return;
    const bool same = box_.width == width_ && box_.height == height_;
    const int factorX = SharpFactor(box_.width, width_), factorY = SharpFactor(box_.height, height_);
    std::vector<SharpTap> columns;
    if (!same) {
      columns.resize(static_cast<size_t>(area.w));
      for (int x = 0; x < area.w; ++x)
        columns[x] = SharpTapFor(area.x - box_.x + x, box_.width, width_, factorX);
    }
    for (int y = 0; y < area.h; ++y) {
      auto* to = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(out->pixels) +
                                             static_cast<size_t>(area.y + y) * out->pitch) +
                 area.x;
      const int oy = area.y - box_.y + y;
      if (same) {
        std::copy_n(&picture_[static_cast<size_t>(oy) * width_ + (area.x - box_.x)], area.w, to);
        continue;
      }
      const SharpTap row = SharpTapFor(oy, box_.height, height_, factorY);
      const uint32_t* upper = &picture_[static_cast<size_t>(row.index) * width_];
      const uint32_t* lower = upper + (row.index + 1 < height_ ? width_ : 0);
      for (int x = 0; x < area.w; ++x) {
        const SharpTap c = columns[x];
        const int next = c.index + (c.index + 1 < width_ ? 1 : 0);
        uint32_t top = Blend(upper[c.index], upper[next], c.weight);
        uint32_t bottom = Blend(lower[c.index], lower[next], c.weight);
        to[x] = Blend(top, bottom, row.weight);
      }
    }
    if (SDL_MUSTLOCK(out)) SDL_UnlockSurface(out);
  }

  SDL_Window* window_;
  int width_, height_;
  std::vector<uint32_t> picture_;  // what the window shows, unscaled, as XRGB
  PictureBox box_;
  bool hasPicture_ = false;
  bool painted_ = false;  // the whole window, bars and all, since the box last changed
  std::vector<uint32_t> bars_;
  FramebufferWarmer warmer_;  // last: joined before the rest goes
};

}  // namespace

std::unique_ptr<Presenter> MakeFramebufferPresenter(SDL_Window* window, int width, int height) {
  // SDL would otherwise back the window's surface with a GL texture; the point here is to
  // need no graphics driver at all.
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  auto presenter = std::make_unique<FramebufferPresenter>(window, width, height);
  SDL_Surface* out = presenter->Output();
  if (!out) return nullptr;
  presenter->Warm(out);
  return presenter;
}
