// A modal screen: shows one picture over the game and runs its own loop until one of its
// buttons is clicked, a chosen key is held or a deadline passes. Never added to the manager.
#pragma once

#include "shell/screen_module.h"

class DialogScreen : public ScreenModule {
 public:
  DialogScreen();
  ~DialogScreen() override;

  void CreateLists() override;                                 // 0
  void Close() override;                                       // 2
  virtual int SetPosition(int x, int y);                       // 19: returns top
  virtual void SetResult(const char* text);                    // 20
  // Runs the loop. 1 with the result name copied into result (256 bytes, may be null);
  // 0 when the application must quit (result untouched).
  virtual int Run(char* result, const char* pageName);         // 21
  virtual int Update(int x, int y, int buttonBits);            // 22
  virtual int CheckDone();                                     // 23
  virtual Picture* SetPicture(Picture* picture);               // 24
  virtual Picture* SelectPicture(const char* pageName);        // 25
  virtual Picture* GetPicture();                               // 26
  virtual Picture* FindDialogPicture(const char* pageName);    // 27
  virtual Picture* AddDialogPicture(const char* file, const char* pageName);  // 28
  virtual void SetSaveBackground(int save);                    // 29
  virtual void AddDefaultButton();                             // 30
  virtual void SetDeadline(int ticks);                         // 31: absolute GetTicks value
  virtual void SetKey(int virtualKey);                         // 32
  virtual void SetParentButtons(int use);                      // 33

  std::unique_ptr<PtrArray<Picture>> dialogPictures;  // owns its pictures
  Picture* current = nullptr;
  int done = 0;
  int left = -1, top = -1, right = -1, bottom = -1;
  int lastX = 0, lastY = 0;
  int saveBackground = 1;
  int deadline = 0;
  int key = 0;
  int parentButtons = 0;

 private:
  void CloseDialog();
};
