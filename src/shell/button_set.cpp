// The buttons of a screen module.
#include <cstring>

#include "shell/screen_module.h"
#include "sprites/button.h"

ButtonSet::~ButtonSet() { buttons.DeleteAll(); }

void ButtonSet::Add(Button* button) { buttons.Append(button); }

void ButtonSet::MouseInput(int x, int y, int buttonBits) {
  for (int i = 0; i < buttons.Count(); ++i) buttons.GetAt(i)->MouseInput(x, y, buttonBits);
}

void ButtonSet::UpdateAll() {
  for (int i = 0; i < buttons.Count(); ++i) buttons.GetAt(i)->Refresh();
}

Button* ButtonSet::Pressed() {
  for (int i = 0; i < buttons.Count(); ++i)
    if (buttons.GetAt(i)->pressed) return buttons.GetAt(i);
  return nullptr;
}

int ButtonSet::WasPressed(const char* name) {
  Button* button = Pressed();
  if (button && name && std::strcmp(button->GetName(), name) == 0) return button->IsPressed();
  return 0;
}

Button* ButtonSet::Find(const char* name) {
  if (!name) return nullptr;
  for (int i = 0; i < buttons.Count(); ++i)
    if (std::strcmp(buttons.GetAt(i)->GetName(), name) == 0) return buttons.GetAt(i);
  return nullptr;
}

void ButtonSet::Remove(const char* name) {
  Button* button = Find(name);
  if (!button) return;
  buttons.Remove(button);
  delete button;
}

void ButtonSet::SetOrigin(int x, int y) {
  originX = x;
  originY = y;
  for (int i = 0; i < buttons.Count(); ++i) buttons.GetAt(i)->SetOrigin(x, y);
}
