// Sprite: frames, drawing and the timed frame animation.
#include "sprites/sprite.h"

#include <cstring>

#include "platform/win32/display/dalk.h"
#include "platform/win32/window/win.h"
#include "shell/app.h"
#include "shell/redraw_list.h"
#include "surface/surface_helpers.h"

Sprite::Sprite() = default;

Sprite::~Sprite() {
  if (!sharedFrames) frames.DeleteAll();
}

void Sprite::SetPosition(int newX, int newY) {
  x = static_cast<float>(newX);
  y = static_cast<float>(newY);
}

Surface* Sprite::CurrentSurface() const {
  if (currentFrame < 0 || currentFrame >= frames.Count()) return nullptr;
  return frames.GetAt(currentFrame);
}

int Sprite::Left() const {
  int left = static_cast<int>(x);
  return centred ? left - width / 2 : left;
}

int Sprite::Top() const {
  int top = static_cast<int>(y);
  return centred ? top - height / 2 : top;
}

void Sprite::Draw() { DrawTo(TheRedrawList.GetBackground()); }

void Sprite::DrawPart(int sourceX, int sourceY, int w, int h, Surface* destination,
                      int destinationX, int destinationY) {
  Surface* frame = CurrentSurface();
  if (!frame) return;
  if (visible && destination)
    ClippedBltRect(frame, sourceX, sourceY, w, h, destination, destinationX, destinationY, -1);
  if (registersRedraw)
    TheRedrawList.AddScreenRect(destinationX, destinationY, destinationX + w, destinationY + h,
                                RedrawOneShot, RedrawFromBackground);
}

void Sprite::DrawTo(Surface* destination) {
  Surface* frame = CurrentSurface();
  if (!frame) return;
  int left = Left(), top = Top();
  if (visible && destination) ClippedBlt(frame, destination, left, top, -1);
  // Recorded even while hidden, so the place it last covered is given back.
  if (registersRedraw)
    TheRedrawList.AddScreenRect(left, top, left + width, top + height, RedrawOneShot,
                                RedrawFromBackground);
}

void Sprite::Move() {
  x += vx;
  y += vy;
}

void Sprite::SetSourceRect(int left, int top, int right, int bottom) {
  sourceRect = Rect{left, top, right, bottom};
}

int Sprite::SetFrame(int index) {
  if (index >= 0 && index < frames.Count()) currentFrame = index;
  return frames.Count();
}

void Sprite::SetVisible(int flag) { visible = flag; }
void Sprite::SetFrameDelay(int milliseconds) { frameDelay = milliseconds; }

void Sprite::SetColorKey(int red, int green, int blue) {
  for (int i = 0; i < frames.Count(); ++i)
    if (frames.GetAt(i)) SetSurfaceColorKey(frames.GetAt(i), red, green, blue);
}

int Sprite::NextFrame() {
  int now = GetTicks();
  if (nextFrameTime >= now) return 0;
  int n = currentFrame + frameStep;
  if (n >= 0 && n < frames.Count())
    currentFrame = n;
  else if (wrap)
    currentFrame = frameStep == 1 ? 0 : frames.Count() - 1;
  nextFrameTime = now + frameDelay;
  return 1;
}

void Sprite::SetCurrentFrame(int index) { currentFrame = index; }

void Sprite::LoadStrip(const char* file, int count, int vertical) {
  Surface* picture = DalkLoadBitmap(file, 16);
  if (!picture) return;
  int pictureWidth = 0, pictureHeight = 0;
  GetSurfaceSize(picture, &pictureWidth, &pictureHeight);
  if (count >= 1) {
    int tileWidth = vertical ? pictureWidth : pictureWidth / count;
    int tileHeight = vertical ? pictureHeight / count : pictureHeight;
    if (tileWidth >= 1 && tileHeight >= 1)
      SplitSurface(picture, &frames, tileWidth, tileHeight, nullptr);
  }
  // The strip itself is not a frame: only its tiles are kept.
  picture->Release();
  width = pictureWidth;
  height = pictureHeight;
  firstFrame = 0;
  endFrame = frames.Count();
}

// The size and range follow the tiles asked for even when the file is missing or only part
// of it could be cut: callers place and time the sprite by its tile size.
void Sprite::LoadTiles(const char* file, int tileWidth, int tileHeight) {
  if (tileWidth < 1 || tileHeight < 1) return;
  LoadTiledBitmap(file, &frames, tileWidth, tileHeight, nullptr);
  width = tileWidth;
  height = tileHeight;
  firstFrame = 0;
  endFrame = frames.Count();
}

void Sprite::SetFrameRange(int first, int end) {
  firstFrame = first;
  endFrame = end;
}

void Sprite::SetName(const char* text) {
  std::strncpy(name, text ? text : "", sizeof(name) - 1);
  name[sizeof(name) - 1] = '\0';
}

void Sprite::SetAnimating(int flag) { animating = flag; }
void Sprite::SetLoopMode(int mode) { loopMode = mode; }
void Sprite::SetRedrawRegistration(int flag) { registersRedraw = flag; }

void Sprite::Animate() {
  int now = GetTicks();
  if (!animationEnabled || firstFrame == -1 || now - nextFrameTime <= frameDelay) return;
  nextFrameTime = now;
  if (animating == 1) {
    currentFrame += frameStep;
    SetFrame(currentFrame);
  }
  if (currentFrame >= endFrame) {
    if (loopMode != LoopRepeat) animating = 0;
    switch (loopMode) {
      case LoopRepeat: currentFrame = 0; break;
      case LoopStop: currentFrame = endFrame - 1; break;
      case LoopHide: currentFrame = -1; break;
      case LoopRewind: currentFrame = firstFrame; break;
      default: break;
    }
  }
  if (currentFrame < 0) {
    if (loopMode != LoopRepeat) animating = 0;
    switch (loopMode) {
      case LoopRepeat: currentFrame = endFrame - 1; break;
      case LoopStop: currentFrame = firstFrame; break;
      case LoopHide: currentFrame = -1; break;
      case LoopRewind: currentFrame = firstFrame; break;
      default: break;
    }
  }
}

int Sprite::DivideWidthByFrames() {
  if (frames.Count() > 0) width /= frames.Count();
  return width;
}

void Sprite::SetCentred(int flag) { centred = flag; }

int Sprite::AddFrame(Surface* surface) {
  if (!surface) return 1;
  SetSurfaceColorKey(surface, 0, 0, 255);
  int w = 0, h = 0;
  GetSurfaceSize(surface, &w, &h);
  SetSourceRect(0, 0, w, h);
  frames.Append(surface);
  firstFrame = 0;
  endFrame = frames.Count();
  width = w;
  height = h;
  return 1;
}

int Sprite::AddSharedFrame(Surface* surface) {
  sharedFrames = 1;
  return AddFrame(surface);
}

int Sprite::LoadFrame(const char* file) {
  Surface* surface = DalkLoadBitmap(file, 16);
  if (!surface) {
    MessageBox(nullptr, file ? file : "", "ERROR: can't find file!", MB_OK);
    return 1;
  }
  AddFrame(surface);
  return 1;
}
