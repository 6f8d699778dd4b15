// Presenting with vsync (ZORBIT_VSYNC=1): each present waits for the display, so it runs
// on a thread of its own and the game's loop keeps its 100 frames a second whatever the
// display's pace. The loop posts its newest picture to a mailbox and goes on; the thread
// takes it when the display is ready for another (pictures made meanwhile replace the one
// not yet shown), uploads the areas that changed into a texture and swaps.
//
// The thread draws with a few OpenGL calls of its own rather than an SDL renderer: a
// renderer watches the window's events, which arrive on the main thread, and would then
// touch its command queue there while the presenting thread uses it. The GL context is
// made, used and destroyed on the presenting thread only; the main thread hands it the
// window's size in pixels, so the thread never asks for it.
#include <SDL_opengl.h>

#include <chrono>
#include <future>
#include <thread>

#include "platform/runtime/trace.h"
#include "platform/sdl/sdl_present.h"
#include "platform/video/letterbox.h"
#include "platform/video/present_mailbox.h"

namespace {

// The fixed-function calls of OpenGL 1.2 the picture needs, looked up through SDL (the
// game does not link the GL library; SDL loads it for the window).
struct GlCalls {
  void(APIENTRY* Viewport)(GLint, GLint, GLsizei, GLsizei);
  void(APIENTRY* ClearColor)(GLclampf, GLclampf, GLclampf, GLclampf);
  void(APIENTRY* Clear)(GLbitfield);
  void(APIENTRY* GenTextures)(GLsizei, GLuint*);
  void(APIENTRY* DeleteTextures)(GLsizei, const GLuint*);
  void(APIENTRY* BindTexture)(GLenum, GLuint);
  void(APIENTRY* TexParameteri)(GLenum, GLenum, GLint);
  void(APIENTRY* TexImage2D)(GLenum, GLint, GLint, GLsizei, GLsizei, GLint, GLenum, GLenum,
                             const void*);
  void(APIENTRY* TexSubImage2D)(GLenum, GLint, GLint, GLint, GLsizei, GLsizei, GLenum, GLenum,
                                const void*);
  void(APIENTRY* PixelStorei)(GLenum, GLint);
  void(APIENTRY* Enable)(GLenum);
  void(APIENTRY* Begin)(GLenum);
  void(APIENTRY* End)();
  void(APIENTRY* TexCoord2f)(GLfloat, GLfloat);
  void(APIENTRY* Vertex2f)(GLfloat, GLfloat);
  GLenum(APIENTRY* GetError)();

  bool Load() {
    return Get(&Viewport, "glViewport") && Get(&ClearColor, "glClearColor") &&
           Get(&Clear, "glClear") && Get(&GenTextures, "glGenTextures") &&
           Get(&DeleteTextures, "glDeleteTextures") && Get(&BindTexture, "glBindTexture") &&
           Get(&TexParameteri, "glTexParameteri") && Get(&TexImage2D, "glTexImage2D") &&
           Get(&TexSubImage2D, "glTexSubImage2D") && Get(&PixelStorei, "glPixelStorei") &&
           Get(&Enable, "glEnable") && Get(&Begin, "glBegin") && Get(&End, "glEnd") &&
           Get(&TexCoord2f, "glTexCoord2f") && Get(&Vertex2f, "glVertex2f") &&
           Get(&GetError, "glGetError");
  }

 private:
  template <typename F>
  static bool Get(F* call, const char* name) {
    *call = reinterpret_cast<F>(SDL_GL_GetProcAddress(name));
    return *call != nullptr;
  }
};

// The smallest power of two at least n: old drivers take no other texture sizes.
int TextureSide(int n) {
  int side = 1;
  while (side < n) side *= 2;
  return side;
}

// The presenting thread's own things: the GL context and the texture holding the picture.
class GlPicture {
 public:
  GlPicture(SDL_Window* window, int width, int height)
      : window_(window), width_(width), height_(height) {}
  GlPicture(const GlPicture&) = delete;
  GlPicture& operator=(const GlPicture&) = delete;
  ~GlPicture() {
    if (!context_) return;
    if (texture_) gl_.DeleteTextures(1, &texture_);
    SDL_GL_DeleteContext(context_);
  }

  // Makes the context current on this thread and the texture; false when GL cannot.
  bool Start() {
    context_ = SDL_GL_CreateContext(window_);
    if (!context_ || !gl_.Load()) return false;
    vsync_ = SDL_GL_SetSwapInterval(1) == 0 && SDL_GL_GetSwapInterval() != 0;
    texW_ = TextureSide(width_);
    texH_ = TextureSide(height_);
    gl_.GetError();
    gl_.GenTextures(1, &texture_);
    gl_.BindTexture(GL_TEXTURE_2D, texture_);
    // Linear, as the other renderers scale; one to one it gives the pixels exactly.
    gl_.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    gl_.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    gl_.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    gl_.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    gl_.TexImage2D(GL_TEXTURE_2D, 0, GL_RGB, texW_, texH_, 0, GL_RGB, GL_UNSIGNED_SHORT_5_6_5,
                   nullptr);
    gl_.PixelStorei(GL_UNPACK_ALIGNMENT, 2);
    gl_.PixelStorei(GL_UNPACK_ROW_LENGTH, width_);
    gl_.Enable(GL_TEXTURE_2D);
    return texture_ != 0 && gl_.GetError() == GL_NO_ERROR;
  }

  bool vsync() const { return vsync_; }

  void Upload(const std::vector<uint16_t>& picture, const std::vector<Rect>& changed) {
    for (const Rect& r : changed) {
      const uint16_t* first = &picture[static_cast<size_t>(r.top) * width_ + r.left];
      gl_.TexSubImage2D(GL_TEXTURE_2D, 0, r.left, r.top, r.right - r.left, r.bottom - r.top,
                        GL_RGB, GL_UNSIGNED_SHORT_5_6_5, first);
    }
  }

  // Draws the picture letterboxed into an output of this size and waits for the display.
  void Present(int outW, int outH) {
    gl_.Viewport(0, 0, outW, outH);
    gl_.ClearColor(0, 0, 0, 1);
    gl_.Clear(GL_COLOR_BUFFER_BIT);  // the bars beside a picture of another shape
    const PictureBox box = FitPicture(outW, outH, width_, height_);
    gl_.Viewport(box.x, outH - box.y - box.height, box.width, box.height);
    const float u = static_cast<float>(width_) / texW_, v = static_cast<float>(height_) / texH_;
    gl_.Begin(GL_QUADS);
    gl_.TexCoord2f(0, 0), gl_.Vertex2f(-1, 1);
    gl_.TexCoord2f(u, 0), gl_.Vertex2f(1, 1);
    gl_.TexCoord2f(u, v), gl_.Vertex2f(1, -1);
    gl_.TexCoord2f(0, v), gl_.Vertex2f(-1, -1);
    gl_.End();
    SDL_GL_SwapWindow(window_);
  }

 private:
  SDL_Window* window_;
  int width_, height_;
  SDL_GLContext context_ = nullptr;
  GlCalls gl_{};
  GLuint texture_ = 0;
  int texW_ = 0, texH_ = 0;
  bool vsync_ = false;
};

class VsyncPresenter final : public Presenter {
 public:
  VsyncPresenter(SDL_Window* window, int width, int height)
      : window_(window), mailbox_(width, height), period_(RefreshPeriod(window)) {}

  ~VsyncPresenter() override {
    mailbox_.Close();
    if (thread_.joinable()) thread_.join();
  }

  // Starts the thread and waits until it knows whether GL works on this window.
  bool Start() {
    std::promise<bool> started;
    std::future<bool> result = started.get_future();
    thread_ = std::thread([this, s = std::move(started)]() mutable { Run(std::move(s)); });
    if (result.get()) return true;
    thread_.join();
    return false;
  }

  bool Update(const Surface& picture, const std::vector<Rect>& changed) override {
    mailbox_.Post(picture, changed);
    return true;
  }

  void Repaint() override {
    int w = 0, h = 0;
    SDL_GL_GetDrawableSize(window_, &w, &h);
    mailbox_.RequestRepaint(w, h);
  }

 private:
  void Run(std::promise<bool> started) {
    {
      GlPicture gl(window_, mailbox_.width(), mailbox_.height());
      const bool ok = gl.Start();
      if (ok && gl.vsync()) TraceStep("presenting thread started, vsync on");
      if (ok && !gl.vsync())
        TraceStepf("presenting thread started, vsync refused: paced at %.0f Hz",
                   1.0 / std::chrono::duration<double>(period_).count());
      started.set_value(ok);
      if (ok) Show(gl);
    }
    // SDL keeps per-thread state (its error text, the current context) that only its own
    // threads free at their end.
    SDL_TLSCleanup();
  }

  void Show(GlPicture& gl) {
    std::vector<uint16_t> picture;
    PresentMailbox::Delivery delivery;
    bool hasPicture = false;
    while (mailbox_.Take(&picture, &delivery)) {
      gl.Upload(picture, delivery.changed);
      hasPicture = hasPicture || !delivery.changed.empty();
      if (!hasPicture) continue;  // nothing to paint a window with yet
      const auto started = std::chrono::steady_clock::now();
      gl.Present(delivery.outputWidth, delivery.outputHeight);
      TraceShown();
      // A driver that will not wait for the display still gets no more pictures than the
      // display shows: the ones made meanwhile are folded into the next.
      if (!gl.vsync()) std::this_thread::sleep_until(started + period_);
    }
  }

  // The display's refresh period (60 Hz when the display does not say).
  static std::chrono::nanoseconds RefreshPeriod(SDL_Window* window) {
    SDL_DisplayMode mode{};
    int hz = 60;
    if (SDL_GetWindowDisplayMode(window, &mode) == 0 && mode.refresh_rate > 0)
      hz = mode.refresh_rate;
    return std::chrono::nanoseconds(1000000000 / hz);
  }

  SDL_Window* window_;
  PresentMailbox mailbox_;
  const std::chrono::nanoseconds period_;
  std::thread thread_;
};

}  // namespace

bool VsyncWanted() {
  const char* wanted = SDL_getenv("ZORBIT_VSYNC");
  return wanted && SDL_strcmp(wanted, "1") == 0;
}

std::unique_ptr<Presenter> MakeVsyncPresenter(SDL_Window* window, int width, int height) {
  if (!(SDL_GetWindowFlags(window) & SDL_WINDOW_OPENGL)) return nullptr;
  auto presenter = std::make_unique<VsyncPresenter>(window, width, height);
  if (!presenter->Start()) return nullptr;
  presenter->Repaint();  // the window's size, for the first present
  return presenter;
}
