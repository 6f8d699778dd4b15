// Picture: one named surface loaded from a BMP file. Sprite: the game's drawable, animated
// object with a float position, a velocity and a list of frames.
#pragma once

#include "platform/video/ddraw.h"
#include "shell/ptr_array.h"

// A named picture. Owns its surface: the destructor releases it.
class Picture {
 public:
  Picture() = default;
  explicit Picture(const char* file);
  ~Picture();
  Picture(const Picture&) = delete;
  Picture& operator=(const Picture&) = delete;

  // Loads the file (16 bits, keyed pure blue); the name becomes the file name. Null when it
  // cannot be loaded (name and size unchanged). A null file empties surface and name.
  Surface* Load(const char* file);
  void SetName(const char* text);  // null gives an empty name
  const char* GetName() const { return name; }
  Surface* GetSurface() const { return surface; }
  void SetColorKey(int red, int green, int blue);
  void Release();
  // Colour-keyed, clipped to the destination; nothing without a surface.
  void Draw(Surface* destination, int atX, int atY);

  char name[256] = {};
  int x = 0, y = 0;
  int width = 0, height = 0;
  Surface* surface = nullptr;
};

// Loop modes of Animate at either end of the frame range.
constexpr int LoopStop = 0;        // rest on the end frame
constexpr int LoopRepeat = 1;
constexpr int LoopRewind = 2;      // stop on the first frame of the range
constexpr int LoopHide = 3;        // stop and draw nothing

class Sprite {
 public:
  Sprite();
  virtual ~Sprite();
  Sprite(const Sprite&) = delete;
  Sprite& operator=(const Sprite&) = delete;

  virtual void SetPosition(int newX, int newY);                         // 0
  virtual void Draw();                                                  // 1: into the redraw background
  virtual void DrawPart(int sourceX, int sourceY, int w, int h, Surface* destination,
                        int destinationX, int destinationY);            // 2
  virtual void DrawTo(Surface* destination);                            // 3
  virtual void Move();                                                  // 4
  virtual void SetSourceRect(int left, int top, int right, int bottom); // 5
  virtual int SetFrame(int index);                                      // 6: returns the frame count
  virtual void SetVisible(int flag);                                    // 7
  virtual void SetFrameDelay(int milliseconds);                         // 8
  virtual void SetColorKey(int red, int green, int blue);               // 9
  virtual int NextFrame();                                              // 10
  virtual void SetCurrentFrame(int index);                              // 11
  virtual void LoadStrip(const char* file, int count, int vertical);    // 12
  virtual void LoadTiles(const char* file, int tileWidth, int tileHeight);  // 13
  virtual void SetFrameRange(int first, int end);                       // 14
  virtual void SetName(const char* text);                               // 15
  virtual void SetAnimating(int flag);                                  // 16
  virtual void SetLoopMode(int mode);                                   // 17
  virtual void SetRedrawRegistration(int flag);                         // 18
  virtual void Animate();                                               // 19
  virtual int DivideWidthByFrames();                                    // 20
  virtual void SetCentred(int flag);                                    // 21

  // Frames are keyed pure blue. AddFrame takes over the surface (released with the sprite);
  // AddSharedFrame marks the sprite's frames as borrowed: none of them is released then.
  int AddFrame(Surface* surface);
  int AddSharedFrame(Surface* surface);
  // Loads and adds one frame; a missing file shows "ERROR: can't find file!".
  int LoadFrame(const char* file);
  int FrameCount() const { return frames.Count(); }
  Surface* CurrentSurface() const;
  // Top-left corner in pixels (the centre moved by half the size when centred).
  int Left() const;
  int Top() const;

  char name[64] = {};
  float x = 0, y = 0;
  float vx = 0, vy = 0;
  int width = 0, height = 0;
  int loopMode = LoopStop;
  int animating = 0;
  FrameList frames;
  int currentFrame = 0;
  int centred = 0;
  Rect sourceRect;
  int frameDelay = 0;
  int frameStep = 1;
  int nextFrameTime = 0;
  int sharedFrames = 0;
  int firstFrame = -1, endFrame = -1;
  int registersRedraw = 1;
  int wrap = 0;
  int animationEnabled = 1;
  int visible = 1;
};
