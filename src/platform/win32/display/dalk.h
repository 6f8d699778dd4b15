// The display and input library: window picture, flip, bitmaps, mouse, keyboard, text.
// Each call goes to the active video backend (SDL window or headless).
#pragma once

#include <vector>

#include "platform/video/ddraw.h"
#include "platform/win32/window/win.h"

int DalkSetInstance(HINSTANCE instance);
void DalkDebugEnable(int enable);
// Full screen (with bits per pixel) and windowed start; 0 is failure.
int DalkInitDirectX(HWND window, int width, int height, int bitsPerPixel);
int DalkInitDirectX(HWND window, int width, int height);
void DalkPrintError();
void DalkSetViewport(int x, int y, int width, int height);
DirectDraw* DalkGetLPDD();
void DalkGetDDInfo(Surface** front, Surface** back);
int DalkInitMouse();
int DalkInitFont(HWND window);
int DalkInitKeyboard();

// Shows the back surface. Afterwards the back surface object holds the picture shown
// two flips earlier (a two-buffer flip chain). Nonzero on success.
int DalkFlip();
void DalkAcquireMouse(int acquire);
// Only the third value is meaningful: bit 0 left button, bit 1 right button.
void DalkGetMouseData(int* dx, int* dy, int* buttons);
// 256 bytes indexed by PC scan code (1 Escape, 42 left shift, 54 right shift, 59 F1),
// bit 7 set while held; null before DalkInitKeyboard.
unsigned char* DalkGetKeys();
void DalkSetWindowXY(int x, int y);
void DalkPrintString(const char* text, int x, int y);
float DalkGetFPS();
// A BMP file as a new surface (16: RGB565; 8: kept palettised), or null.
Surface* DalkLoadBitmap(const char* fileName, int bitsPerPixel);
// The pictures the first screen will ask for, in that order: in a window they are read
// ahead (as 16 bits) on a thread of their own while the display starts.
void DalkReadAhead(const std::vector<const char*>& fileNames);
void DalkGetRGBABits(const PixelFormat* format, int* red, int* green, int* blue, int* alpha);

void DalkFreeFont();
void DalkFreeDirectInput();
void DalkFreeDirectX();

// PC scan codes the game uses.
constexpr int DIK_ESCAPE = 1;
constexpr int DIK_LSHIFT = 42;
constexpr int DIK_RSHIFT = 54;
constexpr int DIK_F1 = 59;
