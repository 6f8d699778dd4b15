// Filling a module's picture catalogue from a picture-set ini file:
// [images] image01=<section>, image02=...; each [section] has file (default <section>.bmp),
// x and y. Reading stops at the first missing imageNN.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/win32/kernel/profile.h"
#include "shell/screen_module.h"
#include "sprites/sprite.h"

int ScreenModule::LoadPictureSet(const char* iniPath) {
  for (int n = 1;; ++n) {
    char key[32];
    std::snprintf(key, sizeof(key), "image%02d", n);
    char section[256];
    GetPrivateProfileString("images", key, "none", section, sizeof(section), iniPath);
    if (std::strcmp(section, "none") == 0) return 0;

    char file[256];
    GetPrivateProfileString(section, "file", "none", file, sizeof(file), iniPath);
    char path[sizeof(section) + 8];
    if (std::strcmp(file, "none") != 0)
      std::snprintf(path, sizeof(path), "%s", file);
    else
      std::snprintf(path, sizeof(path), "%s.bmp", section);

    // Kept even when the bitmap did not load: drawing it then simply shows nothing.
    auto* picture = new Picture(path);
    if (!pictures) pictures = std::make_unique<PtrArray<Picture>>(1);
    pictures->Append(picture);
    picture->SetName(section);

    char value[64];
    GetPrivateProfileString(section, "x", "", value, sizeof(value), iniPath);
    picture->x = std::atoi(value);
    GetPrivateProfileString(section, "y", "", value, sizeof(value), iniPath);
    picture->y = std::atoi(value);
  }
}
