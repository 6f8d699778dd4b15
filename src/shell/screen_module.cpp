// The base screen module: its picture catalogue, its buttons and its present.
#include "shell/screen_module.h"

#include <cstring>

#include "platform/win32/display/dalk.h"
#include "shell/app.h"
#include "shell/mouse_state.h"
#include "shell/redraw_list.h"
#include "sprites/button.h"
#include "sprites/sprite.h"

namespace {

void CopyText(char* destination, size_t size, const char* text) {
  if (!text) text = "";
  std::strncpy(destination, text, size - 1);
  destination[size - 1] = '\0';
}

}  // namespace

ScreenModule::ScreenModule()
    : buttons(std::make_unique<ButtonSet>()), pictures(std::make_unique<PtrArray<Picture>>(1)) {}

// Closing here is the base's own Close: a derived module is already gone by now.
ScreenModule::~ScreenModule() { ScreenModule::Close(); }

void ScreenModule::CreateLists() {
  if (!pictures) pictures = std::make_unique<PtrArray<Picture>>(1);
  if (!buttons) buttons = std::make_unique<ButtonSet>();
}

void ScreenModule::Open(DirectDraw* newDirectDraw, Surface* newTarget) {
  directDraw = newDirectDraw;
  target = newTarget;
  CreateLists();
}

void ScreenModule::Close() {
  buttons.reset();
  FreePictures();
}

int ScreenModule::HandleMessage(ScreenModule*, HWND, UINT, WPARAM, LPARAM) { return 1; }

int ScreenModule::Frame(int) { return 1; }

void ScreenModule::SetName(const char* text) { CopyText(name, sizeof(name), text); }

const char* ScreenModule::GetName() { return name; }

Picture* ScreenModule::LoadPicture(const char* file) {
  auto* picture = new Picture(file);
  if (!picture->GetSurface()) {
    delete picture;
    return nullptr;
  }
  if (!pictures) pictures = std::make_unique<PtrArray<Picture>>(1);
  return pictures->Append(picture);
}

void ScreenModule::FreePictures() {
  if (!pictures) return;
  pictures->DeleteAll();
  pictures.reset();
}

void ScreenModule::RemovePicture(Picture* picture) {
  if (pictures) pictures->Remove(picture);
}

void ScreenModule::SetRedrawBackground(Surface* surface) { TheRedrawList.SetBackground(surface); }

void ScreenModule::SetRedrawLayer(Surface* surface) { TheRedrawList.SetLayer(surface); }

Picture* ScreenModule::FindPicture(const char* pictureName) {
  if (!pictures || !pictureName) return nullptr;
  for (int i = 0; i < pictures->Count(); ++i) {
    Picture* picture = pictures->GetAt(i);
    if (picture && std::strcmp(picture->GetName(), pictureName) == 0) return picture;
  }
  return nullptr;
}

int ScreenModule::DrawPictureAt(Surface* destination, const char* pictureName, int x, int y) {
  Picture* picture = FindPicture(pictureName);
  if (!picture) return 0;
  picture->Draw(destination, x, y);
  return 1;
}

int ScreenModule::DrawPicture(Surface* destination, const char* pictureName) {
  Picture* picture = FindPicture(pictureName);
  if (!picture) return 0;
  picture->Draw(destination, picture->x, picture->y);
  return 1;
}

// Cursor on, flip, cursor off, then give back what was drawn over in the buffer that has
// just become the back surface.
int ScreenModule::Present() {
  if (presenter) return presenter->Present();
  DrawFrameRate(BackSurface);
  TheMouseState.DrawCursor(BackSurface);
  int result = DalkFlip();
  TheMouseState.EraseCursor(BackSurface);
  TheRedrawList.FlipPage();
  TheRedrawList.RestorePage(BackSurface);
  return result;
}

ScreenModule* ScreenModule::SetPresenter(ScreenModule* module) {
  // Presenting through oneself would never end.
  presenter = (module == this) ? nullptr : module;
  return this;
}

void ScreenModule::AddButton(Button* button) {
  if (!button) return;
  if (!buttons) buttons = std::make_unique<ButtonSet>();
  button->SetOrigin(buttons->originX, buttons->originY);
  buttons->Add(button);
}
