// Window messages as host input carries them: the message numbers, their parameters and the
// gamepad's buttons. The drivers post them and the window system's calls deliver them, so
// they sit below both (the values of the original system, so stored numbers keep their
// meaning).
#pragma once

#include <cstdint>

using UINT = uint32_t;
using WPARAM = uintptr_t;
using LPARAM = intptr_t;

constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT WM_MOVE = 0x0003;
constexpr UINT WM_SIZE = 0x0005;
constexpr UINT WM_ACTIVATE = 0x0006;
constexpr UINT WM_SETFOCUS = 0x0007;
constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_QUIT = 0x0012;
constexpr UINT WM_ACTIVATEAPP = 0x001C;
constexpr UINT WM_KEYDOWN = 0x0100;
constexpr UINT WM_KEYUP = 0x0101;
constexpr UINT WM_CHAR = 0x0102;
constexpr UINT WM_SYSKEYDOWN = 0x0104;
constexpr UINT WM_SYSKEYUP = 0x0105;
constexpr UINT WM_SYSCOMMAND = 0x0112;
constexpr UINT WM_MOUSEMOVE = 0x0200;
constexpr UINT WM_LBUTTONDOWN = 0x0201;
constexpr UINT WM_LBUTTONUP = 0x0202;
constexpr UINT WM_RBUTTONDOWN = 0x0204;
constexpr UINT WM_RBUTTONUP = 0x0205;
constexpr UINT MM_MCINOTIFY = 0x03B9;
// Our own: a gamepad button went down or up; wParam is the PadButton (platform/win32/window/input.h).
constexpr UINT WM_PADBUTTONDOWN = 0x0400;
constexpr UINT WM_PADBUTTONUP = 0x0401;
enum class PadButton {
  Up, Down, Left, Right, A, B, X, Y, LeftShoulder, RightShoulder, Back, Start, Count
};

constexpr WPARAM SC_KEYMENU = 0xF100;
constexpr WPARAM SC_CLOSE = 0xF060;
constexpr WPARAM SIZE_RESTORED = 0;
constexpr WPARAM SIZE_MINIMIZED = 1;
constexpr WPARAM SIZE_MAXIMIZED = 2;
constexpr WPARAM WA_INACTIVE = 0;
constexpr WPARAM WA_ACTIVE = 1;
constexpr WPARAM WA_CLICKACTIVE = 2;
constexpr WPARAM MCI_NOTIFY_SUCCESSFUL = 1;

constexpr LPARAM MakeLParam(int low, int high) {
  return static_cast<LPARAM>((static_cast<uint32_t>(low) & 0xFFFF) |
                             ((static_cast<uint32_t>(high) & 0xFFFF) << 16));
}
