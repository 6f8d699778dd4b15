// Button: a clickable picture with normal, mouse-over and pressed images. It follows the
// mouse given to it and reports a click (a release over it after a press on it) once.
#pragma once

#include "platform/video/ddraw.h"
#include "platform/win32/window/win.h"
#include "shell/ptr_array.h"

class RedrawList;

constexpr int ButtonNormal = 0;
constexpr int ButtonOver = 1;
constexpr int ButtonDown = 2;

struct ButtonImage {
  int id = 0;
  Surface* surface = nullptr;
};

class Button {
 public:
  Button();
  Button(int atX, int atY);
  Button(int atX, int atY, int w, int h);
  virtual ~Button();
  Button(const Button&) = delete;
  Button& operator=(const Button&) = delete;

  // Takes over the surface (released with the button); sizes follow the image.
  virtual void AddImage(int id, Surface* surface);                  // 0
  virtual void LoadImage(int id, const char* file);                 // 1
  virtual void LoadStrip(const char* file, int count, int vertical);  // 2
  virtual void HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);  // 3
  virtual void MouseInput(int mx, int my, int buttonBits);          // 4
  virtual void DrawOn(Surface* surface);                            // 5: null = back surface
  virtual void SetImageOffset(int n);                               // 6
  virtual void Paint(Surface* surface);                             // 7
  virtual void Refresh();                                           // 8
  virtual int IsPressed();                                          // 9
  virtual void Reset();                                             // 10
  virtual void SetName(const char* text);                           // 11
  virtual void SetOrigin(int ox, int oy);                           // 12
  virtual void SetEnabled(int flag);                                // 13
  virtual void PaintIntoScene(RedrawList* list);                    // 14
  virtual void SwapFirstImages();                                   // 15
  virtual void SetAlwaysFirstImage(int flag);                       // 16
  virtual void SetState(int newState);                              // 17
  virtual int GetState();                                           // 18
  virtual void SetHitRect(int hx, int hy, int w, int h);            // 19
  virtual void SetRegistersRedraw(int flag);                        // 20
  virtual void SetPixelHitTest(int flag);                           // 21
  virtual int IsMouseInside();                                      // 22
  virtual void SetForcedImage(int index);                           // 23
  virtual int GetForcedImage();                                     // 24

  const char* GetName() const { return name; }
  int ImageCount() const { return images.Count(); }
  Surface* ImageSurface(int index) const;

  int x = 0, y = 0;
  int width = 0, height = 0;
  int hitX = 0, hitY = 0, hitWidth = 0, hitHeight = 0;
  int originX = 0, originY = 0;
  int state = ButtonNormal;
  int imageOffset = 0;
  PtrArray<ButtonImage> images;  // owns the entries and their surfaces
  int pressed = 0;
  int clickKind = 0;             // 1 left click, 2 right click (message input)
  char name[64] = {};
  int enabled = 1;
  int alwaysFirstImage = 0;
  int registersRedraw = 0;
  int pixelHitTest = 0;
  int mouseInside = 0;
  int forcedImage = -1;

 private:
  bool Inside(int mx, int my) const;
  bool OverKeyColour(int mx, int my);
  void ChangeState(int newState);
};
