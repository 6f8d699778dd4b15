// The module manager: the list of screen modules and the current one.
#include <cstring>

#include "shell/screen_module.h"

ModuleManager TheModuleManager;

void ModuleManager::Attach(DirectDraw* newDirectDraw, Surface* newTarget) {
  directDraw = newDirectDraw;
  target = newTarget;
}

void ModuleManager::AddModule(ScreenModule* module) {
  if (module) modules.Append(module);
}

ScreenModule* ModuleManager::SelectModule(const char* name) {
  if (!name) return current;
  for (int i = 0; i < modules.Count(); ++i) {
    ScreenModule* module = modules.GetAt(i);
    if (module == current || std::strcmp(module->GetName(), name) != 0) continue;
    if (current) current->Close();
    current = module;
    current->Open(directDraw, target);
    return current;
  }
  return current;
}

int ModuleManager::RunFrame(int active) { return current ? current->Frame(active) : 0; }

int ModuleManager::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return current ? current->HandleMessage(current, window, message, wParam, lParam) : 1;
}

void ModuleManager::CloseAll() {
  for (int i = 0; i < modules.Count(); ++i) modules.GetAt(i)->Close();
}

void ModuleManager::Clear() {
  while (modules.Count() > 0) modules.Remove(modules.GetAt(0));
  current = nullptr;
  directDraw = nullptr;
  target = nullptr;
}
