// The window, its message queue and the few system calls the shell makes. There is one
// window; messages come from the video backend (SDL events, or the headless script).
#pragma once

#include <cstdint>

#include "platform/runtime/messages.h"

using HINSTANCE = void*;
struct WindowObject;
using HWND = WindowObject*;
using LRESULT = intptr_t;
using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);

struct POINT {
  int32_t x = 0, y = 0;
};

struct MSG {
  HWND hwnd = nullptr;
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  uint32_t time = 0;
  POINT pt;
};

// Virtual-key codes.
constexpr int VK_LBUTTON = 0x01;
constexpr int VK_RBUTTON = 0x02;
constexpr int VK_RETURN = 0x0D;
constexpr int VK_SHIFT = 0x10;
constexpr int VK_CONTROL = 0x11;
constexpr int VK_MENU = 0x12;
constexpr int VK_ESCAPE = 0x1B;
constexpr int VK_SPACE = 0x20;
constexpr int VK_LEFT = 0x25;
constexpr int VK_UP = 0x26;
constexpr int VK_RIGHT = 0x27;
constexpr int VK_DOWN = 0x28;
constexpr int VK_F1 = 0x70;
constexpr int VK_F2 = 0x71;
// 'A'..'Z' and '0'..'9' are their ASCII capitals and digits.

// Window styles.
constexpr uint32_t CS_VREDRAW = 0x1;
constexpr uint32_t CS_HREDRAW = 0x2;
constexpr uint32_t WS_VISIBLE = 0x10000000;
constexpr uint32_t WS_SYSMENU = 0x00080000;
constexpr uint32_t WS_MINIMIZEBOX = 0x00020000;
constexpr uint32_t WS_MAXIMIZEBOX = 0x00010000;
constexpr int SW_SHOWNORMAL = 1;

constexpr uint32_t PM_NOREMOVE = 0;
constexpr uint32_t PM_REMOVE = 1;

constexpr int SM_CXSCREEN = 0;
constexpr int SM_CYSCREEN = 1;
constexpr int SM_CYSIZEFRAME = 33;
constexpr int SM_CYSMCAPTION = 51;

constexpr uint32_t MB_OK = 0x0;
constexpr uint32_t MB_ICONERROR = 0x10;
constexpr int IDOK = 1;

struct WNDCLASS {
  uint32_t style = 0;
  WNDPROC lpfnWndProc = nullptr;
  HINSTANCE hInstance = nullptr;
  const char* lpszClassName = nullptr;
};

int RegisterClass(const WNDCLASS* windowClass);  // 0 on failure
HWND CreateWindowEx(uint32_t exStyle, const char* className, const char* title, uint32_t style,
                    int x, int y, int width, int height, HWND parent, void* menu,
                    HINSTANCE instance, void* param);
int ShowWindow(HWND window, int command);
int UpdateWindow(HWND window);
HWND SetFocus(HWND window);
int SetWindowText(HWND window, const char* text);
int ClientToScreen(HWND window, POINT* point);
// Sends WM_DESTROY to the window procedure at once; the window is gone afterwards.
int DestroyWindow(HWND window);
LRESULT DefWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Takes the next message (filters are ignored: one window, all messages). Fills the queue
// from the video backend's events when it is empty. Nonzero when a message was found.
int PeekMessage(MSG* msg, HWND window, UINT filterMin, UINT filterMax, uint32_t removeFlags);
int TranslateMessage(const MSG* msg);
LRESULT DispatchMessage(const MSG* msg);
int PostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);

// High bit set while the virtual key is held.
int16_t GetAsyncKeyState(int virtualKey);
int GetCursorPos(POINT* point);
int GetSystemMetrics(int index);
// A plain dialog in the window's session; one line on standard error when headless.
// Never blocks a headless run.
int MessageBox(HWND owner, const char* text, const char* caption, uint32_t type);

// Starts a program directly (never through a shell) with one argument and a working
// folder. Returns a value above 32 on success, as the original call does.
intptr_t ShellExecute(HWND owner, const char* operation, const char* file,
                      const char* parameters, const char* directory, int showCommand);
