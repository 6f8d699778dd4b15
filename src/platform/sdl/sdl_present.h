// The ways a picture reaches the SDL window: the window's own framebuffer (no graphics
// driver at all), SDL's software renderer, or an accelerated one. Each keeps what the
// window shows, so it can paint it again when the window is uncovered or resized.
#pragma once

#include <memory>
#include <vector>

#include "platform/sdl/sdl_handles.h"
#include "platform/video/ddraw.h"

enum class PresentKind { Framebuffer, Software, Accelerated };

class Presenter {
 public:
  virtual ~Presenter() = default;
  // Takes the changed areas of the picture (all of it the first time) and shows them.
  virtual bool Update(const Surface& picture, const std::vector<Rect>& changed) = 0;
  // Paints the whole window again from what it last showed.
  virtual void Repaint() = 0;
};

// Null when this way cannot work on the window (then the next is tried).
std::unique_ptr<Presenter> MakeFramebufferPresenter(SDL_Window* window, int width, int height);
std::unique_ptr<Presenter> MakeRendererPresenter(SDL_Window* window, int width, int height,
                                                 bool accelerated);
// OpenGL on a thread of its own, each present waiting for the display (vsync); only on a
// window made with SDL_WINDOW_OPENGL.
std::unique_ptr<Presenter> MakeVsyncPresenter(SDL_Window* window, int width, int height);
// ZORBIT_VSYNC=1: present with vsync, before any other way.
bool VsyncWanted();

// The order to try: by default the framebuffer (measured cheapest to start, to keep and to
// update), then the software renderer, then an accelerated one; ZORBIT_PRESENT=framebuffer,
// software or accelerated puts that one first.
std::vector<PresentKind> PresentOrder();
const char* PresentName(PresentKind kind);
