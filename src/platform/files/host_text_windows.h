// UTF-8 inside the game, UTF-16 at every call to Windows.
#pragma once

#include <string>
#include <string_view>

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);
// The errno that stands for a Windows error code (EIO for the ones without one).
int ErrnoFromWindows(unsigned long error);
