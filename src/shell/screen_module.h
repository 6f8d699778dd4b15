// Screen modules: one self-contained screen each (pictures, buttons, a frame, a present),
// the button set every module owns, and the manager that runs the current module.
#pragma once

#include <memory>

#include "platform/video/ddraw.h"
#include "platform/win32/window/win.h"
#include "shell/ptr_array.h"

class Button;
class Picture;

// The buttons of a screen. Owns its buttons: removing or destroying deletes them.
class ButtonSet {
 public:
  ButtonSet() = default;
  ~ButtonSet();
  ButtonSet(const ButtonSet&) = delete;
  ButtonSet& operator=(const ButtonSet&) = delete;

  void Add(Button* button);
  void MouseInput(int x, int y, int buttonBits);
  void UpdateAll();
  // The first button whose pressed flag is set, or null.
  Button* Pressed();
  // The acknowledge result of the pressed button when it carries this name, else 0.
  int WasPressed(const char* name);
  Button* Find(const char* name);
  void Remove(const char* name);
  void SetOrigin(int x, int y);

  PtrArray<Button> buttons;
  int originX = 0;
  int originY = 0;
};

class ScreenModule {
 public:
  ScreenModule();
  virtual ~ScreenModule();
  ScreenModule(const ScreenModule&) = delete;
  ScreenModule& operator=(const ScreenModule&) = delete;

  virtual void CreateLists();                                      // 0
  virtual void Open(DirectDraw* directDraw, Surface* target);      // 1
  virtual void Close();                                            // 2
  virtual int HandleMessage(ScreenModule* module, HWND window, UINT message, WPARAM wParam,
                            LPARAM lParam);                        // 3
  virtual int Frame(int active);                                   // 4
  virtual void SetName(const char* text);                          // 5
  virtual const char* GetName();                                   // 6
  virtual Picture* LoadPicture(const char* file);                  // 7
  virtual void FreePictures();                                     // 8
  virtual void RemovePicture(Picture* picture);                    // 9
  virtual void SetRedrawBackground(Surface* surface);              // 10
  virtual void SetRedrawLayer(Surface* surface);                   // 11
  virtual int LoadPictureSet(const char* iniPath);                 // 12
  virtual Picture* FindPicture(const char* name);                  // 13
  virtual int DrawPictureAt(Surface* target, const char* name, int x, int y);  // 14
  virtual int DrawPicture(Surface* target, const char* name);      // 15
  virtual int Present();                                           // 16
  virtual ScreenModule* SetPresenter(ScreenModule* module);        // 17
  virtual void AddButton(Button* button);                          // 18

  char name[256] = {};
  DirectDraw* directDraw = nullptr;
  Surface* target = nullptr;
  std::unique_ptr<ButtonSet> buttons;             // null after Close until the next Open
  std::unique_ptr<PtrArray<Picture>> pictures;    // owns its pictures; null after Close
  Picture* backgroundPicture = nullptr;           // for derived modules; not owned
  Picture* layerPicture = nullptr;
  ScreenModule* presenter = nullptr;              // Present is delegated to it when set
};

// Frame results the main loop reads: QuitCode (7, app.h) ends the program, others go on.
class ModuleManager {
 public:
  ModuleManager() = default;
  ModuleManager(const ModuleManager&) = delete;
  ModuleManager& operator=(const ModuleManager&) = delete;

  void Attach(DirectDraw* directDraw, Surface* target);
  void AddModule(ScreenModule* module);
  // Closes the current module and opens the first other module of that name; returns the
  // current module (unchanged when none matches or the named one is already current).
  ScreenModule* SelectModule(const char* name);
  int RunFrame(int active);
  int HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void CloseAll();
  ScreenModule* Current() const { return current; }
  // Forgets every module (tests and shutdown); does not close them.
  void Clear();

  PtrArray<ScreenModule> modules;  // references: the manager owns no module
  ScreenModule* current = nullptr;
  DirectDraw* directDraw = nullptr;
  Surface* target = nullptr;
};

extern ModuleManager TheModuleManager;
