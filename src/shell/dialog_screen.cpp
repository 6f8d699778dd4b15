// The modal dialog screen and its loop.
#include "shell/dialog_screen.h"

#include <cstring>

#include "shell/app.h"
#include "shell/mouse_state.h"
#include "shell/redraw_list.h"
#include "sprites/button.h"
#include "sprites/sprite.h"
#include "surface/surface_helpers.h"

DialogScreen::DialogScreen() { CreateLists(); }

DialogScreen::~DialogScreen() { CloseDialog(); }

void DialogScreen::CreateLists() {
  ScreenModule::CreateLists();
  if (!dialogPictures) dialogPictures = std::make_unique<PtrArray<Picture>>(1);
}

void DialogScreen::Close() { CloseDialog(); }

void DialogScreen::CloseDialog() {
  ScreenModule::Close();
  if (dialogPictures) dialogPictures->DeleteAll();
  dialogPictures.reset();
  current = nullptr;
}

int DialogScreen::SetPosition(int x, int y) {
  int pageWidth = current ? current->width : 0;
  int pageHeight = current ? current->height : 0;
  if (x == -1 && y == -1) {
    // Centred once; a placement made earlier is kept.
    if (left == -1 && top == -1 && current && current->GetSurface()) {
      Rect box;
      CentreSurfaceRect(current->GetSurface(), 0, 0, ScreenWidth, ScreenHeight, &box);
      left = box.left;
      top = box.top;
      right = box.right;
      bottom = box.bottom;
    }
  } else {
    left = x;
    top = y;
    right = x + pageWidth;
    bottom = y + pageHeight;
  }
  if (buttons) buttons->SetOrigin(left, top);
  lastX = left;
  lastY = top;
  return top;
}

void DialogScreen::SetResult(const char* text) {
  if (text) SetName(text);
  done = 1;
}

int DialogScreen::Update(int, int, int) { return CheckDone(); }

int DialogScreen::CheckDone() {
  Button* pressedButton = buttons ? buttons->Pressed() : nullptr;
  if (key != 0 && (GetAsyncKeyState(key) & 0x8000)) {
    SetName("key");
    done = 1;
  }
  // A button pressed in the same pass wins over the key.
  if (pressedButton) {
    SetName(pressedButton->GetName());
    done = 1;
  }
  if (deadline != 0 && deadline < GetTicks()) done = 1;
  return 1;
}

int DialogScreen::Run(char* result, const char* pageName) {
  done = 0;
  if (pageName)
    SelectPicture(pageName);
  else
    current = dialogPictures ? dialogPictures->GetAt(0) : nullptr;
  if (!buttons) buttons = std::make_unique<ButtonSet>();

  const bool swapBackground = saveBackground == 1;
  Surface* savedBackground = TheRedrawList.GetBackground();
  if (swapBackground) TheRedrawList.SetBackground(current ? current->GetSurface() : nullptr);
  auto restoreBackground = [&] {
    if (swapBackground) TheRedrawList.SetBackground(savedBackground);
  };
  name[0] = '\0';

  while (!done) {
    int x = 0, y = 0, bits = 0;
    TheMouseState.GetState(&x, &y, &bits);
    if (PumpMessages() == 1) {
      restoreBackground();
      return 0;
    }
    if (current) current->Draw(BackSurface, left, top);
    buttons->MouseInput(x, y, bits);
    buttons->UpdateAll();
    if (Update(x, y, bits) == 0) {
      restoreBackground();
      return 0;
    }
    if (!done && presenter && parentButtons == 1 && presenter->buttons) {
      presenter->buttons->MouseInput(x, y, bits);
      presenter->buttons->UpdateAll();
      if (Button* parentButton = presenter->buttons->Pressed()) {
        SetName(parentButton->GetName());
        done = 1;
      }
    }
    Present();
  }
  restoreBackground();
  if (result) {
    std::strncpy(result, name, sizeof(name) - 1);
    result[sizeof(name) - 1] = '\0';
  }
  return done;
}

Picture* DialogScreen::SetPicture(Picture* picture) {
  if (!picture) return nullptr;
  current = picture;
  SetPosition(-1, -1);
  return picture;
}

Picture* DialogScreen::SelectPicture(const char* pageName) {
  current = FindDialogPicture(pageName);
  if (!current && dialogPictures) current = dialogPictures->GetAt(0);
  SetPosition(-1, -1);
  return current;
}

Picture* DialogScreen::GetPicture() { return current; }

Picture* DialogScreen::FindDialogPicture(const char* pageName) {
  if (!dialogPictures || !pageName) return nullptr;
  for (int i = 0; i < dialogPictures->Count(); ++i) {
    Picture* picture = dialogPictures->GetAt(i);
    if (picture && std::strcmp(picture->GetName(), pageName) == 0) return picture;
  }
  return nullptr;
}

// Kept even when its bitmap did not load: the dialog then shows nothing but still waits.
Picture* DialogScreen::AddDialogPicture(const char* file, const char* pageName) {
  if (!dialogPictures) dialogPictures = std::make_unique<PtrArray<Picture>>(1);
  auto* picture = new Picture(file);
  picture->SetName(pageName);
  dialogPictures->Append(picture);
  return SetPicture(picture);
}

void DialogScreen::SetSaveBackground(int save) { saveBackground = save; }

void DialogScreen::AddDefaultButton() {
  int w = current ? current->width : 0;
  int h = current ? current->height : 0;
  auto* button = new Button(0, 0, w, h);
  button->SetName("default");
  AddButton(button);
}

void DialogScreen::SetDeadline(int ticks) { deadline = ticks; }
void DialogScreen::SetKey(int virtualKey) { key = virtualKey; }
void DialogScreen::SetParentButtons(int use) { parentButtons = use; }
