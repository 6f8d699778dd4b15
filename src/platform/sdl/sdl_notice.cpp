// The notice window: the text drawn with the built-in font into an RGB565 picture.
#include "platform/sdl/sdl_notice.h"

#include <cstdint>
#include <string>
#include <vector>

#include "platform/runtime/quit_signals.h"
#include "platform/sdl/sdl_handles.h"
#include "platform/video/font8x8.h"

namespace {

constexpr int kColumns = 78;  // characters a line
constexpr int kMargin = 16, kLineHeight = 12;
constexpr uint16_t kPaper = 0x1908, kInk = 0xFFFF, kAccent = 0xFEA0;

// Words wrapped at kColumns; a word longer than a line is cut.
std::vector<std::string> WrapText(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string paragraph = text.substr(start, end - start), line;
    size_t at = 0;
    while (at < paragraph.size()) {
      size_t space = paragraph.find(' ', at);
      if (space == std::string::npos) space = paragraph.size();
      std::string word = paragraph.substr(at, space - at);
      at = space + 1;
      if (!line.empty() && line.size() + 1 + word.size() > kColumns) {
        lines.push_back(line);
        line.clear();
      }
      while (word.size() > kColumns) {
        lines.push_back(word.substr(0, kColumns));
        word.erase(0, kColumns);
      }
      line += (line.empty() ? "" : " ") + word;
    }
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

struct Canvas {
  int width, height;
  std::vector<uint16_t> pixels;
  void Text(const std::string& text, int x, int y, uint16_t colour) {
    for (size_t i = 0; i < text.size(); ++i) {
      const unsigned char* glyph = FontGlyph(static_cast<unsigned char>(text[i]));
      for (int row = 0; row < kGlyphSize; ++row)
        for (int col = 0; col < kGlyphSize; ++col) {
          const int px = x + static_cast<int>(i) * kGlyphSize + col, py = y + row;
          if ((glyph[row] & (0x80 >> col)) && px < width && py < height)
            pixels[static_cast<size_t>(py * width + px)] = colour;
        }
    }
  }
};

bool Closes(const SDL_Event& event) {
  if (event.type == SDL_QUIT || event.type == SDL_KEYDOWN || event.type == SDL_MOUSEBUTTONUP)
    return true;
  return event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_CLOSE;
}

}  // namespace

bool ShowNoticeWindow(const char* caption, const char* text) {
  SdlSubsystem video(SDL_INIT_VIDEO);
  if (!video.ok()) return false;
  std::vector<std::string> lines = WrapText(text);
  lines.push_back("");
  lines.push_back("Press a key or click to close.");
  Canvas canvas{kColumns * kGlyphSize + 2 * kMargin,
                static_cast<int>(lines.size() + 2) * kLineHeight + 2 * kMargin, {}};
  canvas.pixels.assign(static_cast<size_t>(canvas.width * canvas.height), kPaper);
  canvas.Text(caption, kMargin, kMargin, kAccent);
  for (size_t i = 0; i < lines.size(); ++i)
    canvas.Text(lines[i], kMargin, kMargin + static_cast<int>(i + 2) * kLineHeight,
                i + 1 == lines.size() ? kAccent : kInk);

  SdlWindow window(SDL_CreateWindow(caption, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                    canvas.width, canvas.height, 0));
  if (!window) return false;
  SdlRenderer renderer(SDL_CreateRenderer(window.get(), -1, SDL_RENDERER_SOFTWARE));
  if (!renderer) return false;
  SdlTexture texture(SDL_CreateTexture(renderer.get(), SDL_PIXELFORMAT_RGB565,
                                       SDL_TEXTUREACCESS_STATIC, canvas.width, canvas.height));
  if (!texture) return false;
  SDL_UpdateTexture(texture.get(), nullptr, canvas.pixels.data(), canvas.width * 2);
  for (;;) {
    SDL_RenderCopy(renderer.get(), texture.get(), nullptr, nullptr);
    SDL_RenderPresent(renderer.get());
    SDL_Event event;
    if (SDL_WaitEventTimeout(&event, 200) && Closes(event)) return true;
    if (QuitSignalled()) return true;
  }
}
