// Button: images by state, polled and message-driven mouse input, pixel hit test.
#include "sprites/button.h"

#include <cstring>

#include "platform/win32/display/dalk.h"
#include "shell/app.h"
#include "shell/redraw_list.h"
#include "surface/surface_helpers.h"

Button::Button() = default;

Button::Button(int atX, int atY) : x(atX), y(atY), hitX(atX), hitY(atY) {}

Button::Button(int atX, int atY, int w, int h)
    : x(atX), y(atY), width(w), height(h), hitX(atX), hitY(atY), hitWidth(w), hitHeight(h) {}

Button::~Button() {
  for (int i = 0; i < images.Count(); ++i) {
    ButtonImage* image = images.GetAt(i);
    if (image && image->surface) image->surface->Release();
  }
  images.DeleteAll();
}

Surface* Button::ImageSurface(int index) const {
  if (index < 0 || index >= images.Count()) return nullptr;
  return images.GetAt(index)->surface;
}

void Button::AddImage(int id, Surface* surface) {
  if (!surface) return;
  SetSurfaceColorKey(surface, 0, 0, 255);
  images.Append(new ButtonImage{id, surface});
  GetSurfaceSize(surface, &width, &height);
  hitWidth = width;
  hitHeight = height;
}

void Button::LoadImage(int id, const char* file) {
  Surface* surface = DalkLoadBitmap(file, 16);
  if (surface) AddImage(id, surface);
}

void Button::LoadStrip(const char* file, int count, int vertical) {
  Surface* picture = DalkLoadBitmap(file, 16);
  if (!picture) return;
  int pictureWidth = 0, pictureHeight = 0;
  GetSurfaceSize(picture, &pictureWidth, &pictureHeight);
  FrameList tiles(count > 0 ? count : 1);
  if (count >= 1) {
    int tileWidth = vertical ? pictureWidth : pictureWidth / count;
    int tileHeight = vertical ? pictureHeight / count : pictureHeight;
    if (tileWidth >= 1 && tileHeight >= 1)
      SplitSurface(picture, &tiles, tileWidth, tileHeight, nullptr);
  }
  if (tiles.Count() == count) {
    for (int i = 0; i < count; ++i) AddImage(i, tiles.GetAt(i));
  } else {
    tiles.DeleteAll();  // a cut that went wrong adds nothing and keeps nothing
  }
  picture->Release();
}

// Window-message input: the same state changes as the polled input; a right-button release
// over the button is a click of kind 2.
void Button::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (!enabled) return;
  int mx = static_cast<int>(lParam & 0xFFFF);
  int my = static_cast<int>((lParam >> 16) & 0xFFFF);
  switch (message) {
    case WM_MOUSEMOVE: MouseInput(mx, my, static_cast<int>(wParam & 0x1)); break;
    case WM_LBUTTONDOWN: MouseInput(mx, my, 0x1); break;
    case WM_LBUTTONUP: MouseInput(mx, my, 0); break;
    case WM_RBUTTONUP:
      mouseInside = Inside(mx, my) ? 1 : 0;
      pressed = mouseInside;
      clickKind = mouseInside ? 2 : 0;
      break;
    default: break;
  }
}

bool Button::Inside(int mx, int my) const {
  int left = hitX + originX, top = hitY + originY;
  return mx >= left && mx < left + hitWidth && my >= top && my < top + hitHeight;
}

// The pixel of image 0 under the mouse, measured from the hit rectangle's corner on screen.
// A point beyond image 0 has no pixel and counts as transparent.
bool Button::OverKeyColour(int mx, int my) {
  Surface* surface = ImageSurface(0);
  if (!surface) return false;
  int px = mx - (hitX + originX), py = my - (hitY + originY);
  int w = 0, h = 0;
  GetSurfaceSize(surface, &w, &h);
  if (px < 0 || py < 0 || px >= w || py >= h) return true;
  return GetSurfacePixel(surface, px, py) == MakeSurfaceColor(surface, 0, 0, 255);
}

void Button::ChangeState(int newState) {
  SetState(newState);
  DrawOn(nullptr);
}

void Button::MouseInput(int mx, int my, int buttonBits) {
  if (!enabled) return;
  mouseInside = Inside(mx, my) ? 1 : 0;
  pressed = 0;
  clickKind = 0;
  if (!mouseInside) {
    if (state != ButtonNormal) ChangeState(ButtonNormal);
    return;
  }
  bool pixelTest = pixelHitTest && ImageSurface(0);
  if (!(buttonBits & 0x1)) {
    if (pixelTest && OverKeyColour(mx, my)) {
      ChangeState(ButtonNormal);
      return;
    }
    // A click is a release over the button after a press on it.
    if (state == ButtonDown) {
      pressed = 1;
      clickKind = 1;
    }
    if (state != ButtonOver) ChangeState(ButtonOver);
  } else if (state != ButtonDown) {
    if (pixelTest && OverKeyColour(mx, my)) return;
    ChangeState(ButtonDown);
  }
}

void Button::DrawOn(Surface* surface) { Paint(surface ? surface : BackSurface); }

void Button::SetImageOffset(int n) {
  imageOffset = n;
  Refresh();
}

void Button::Paint(Surface* surface) {
  int count = images.Count();
  if (count == 0) return;
  int index = state + imageOffset;
  if (alwaysFirstImage) index = 0;
  if (forcedImage != -1) index = forcedImage;
  if (index >= count) index = count - 1;
  if (index < 0) return;
  Rect rect{x + originX, y + originY, x + originX + width, y + originY + height};
  if (registersRedraw)
    TheRedrawList.AddScreenRect(rect.left, rect.top, rect.right, rect.bottom, RedrawOneShot,
                                RedrawFromBackground);
  Surface* image = images.GetAt(index)->surface;
  if (surface && image) surface->Blt(&rect, image, nullptr, DDBLT_KEYSRC | DDBLT_WAIT, nullptr);
}

void Button::Refresh() {
  if (enabled) Paint(BackSurface);
}

int Button::IsPressed() { return pressed; }

void Button::Reset() {
  state = ButtonNormal;
  Refresh();
}

void Button::SetName(const char* text) {
  std::strncpy(name, text ? text : "", sizeof(name) - 1);
  name[sizeof(name) - 1] = '\0';
}

void Button::SetOrigin(int ox, int oy) {
  originX = ox;
  originY = oy;
}

void Button::SetEnabled(int flag) { enabled = flag; }

// Into the static scene: the pristine layer and the composed background. With no scene set
// there is nothing to paint into.
void Button::PaintIntoScene(RedrawList* list) {
  if (!list) return;
  if (list->GetLayer()) DrawOn(list->GetLayer());
  if (list->GetBackground()) DrawOn(list->GetBackground());
}

void Button::SwapFirstImages() {
  if (images.Count() >= 2) {
    Surface* first = images.GetAt(0)->surface;
    images.GetAt(0)->surface = images.GetAt(1)->surface;
    images.GetAt(1)->surface = first;
  }
  Refresh();
}

void Button::SetAlwaysFirstImage(int flag) { alwaysFirstImage = flag; }
void Button::SetState(int newState) { state = newState; }
int Button::GetState() { return state; }

void Button::SetHitRect(int hx, int hy, int w, int h) {
  hitX = hx;
  hitY = hy;
  hitWidth = w;
  hitHeight = h;
}

void Button::SetRegistersRedraw(int flag) { registersRedraw = flag; }
void Button::SetPixelHitTest(int flag) { pixelHitTest = flag; }
int Button::IsMouseInside() { return mouseInside; }
void Button::SetForcedImage(int index) { forcedImage = index; }
int Button::GetForcedImage() { return forcedImage; }
