// BalloonModule: the game's one screen module ("balloon"). Opening it loads every picture
// and sound, builds the clouds and the side buttons and starts the first round; its frame
// handles the side buttons and runs the round.
#pragma once

#include "shell/screen_module.h"

class BalloonState;
class Picture;
class SmallFont;
class Sprite;
class DialogScreen;

class BalloonModule : public ScreenModule {
 public:
  explicit BalloonModule(const char* moduleName);
  ~BalloonModule() override;

  void Open(DirectDraw* directDraw, Surface* target) override;
  void Close() override;
  int HandleMessage(ScreenModule* module, HWND window, UINT message, WPARAM wParam,
                    LPARAM lParam) override;
  int Frame(int active) override;
  int LoadPictureSet(const char* iniPath) override;
  int Present() override;

  // The "newgame" blink of the Title state: toggles every half second.
  void BlinkNewGame();
  // Ends the blink when a round starts: the button shows its own state's image again.
  void StopBlink();
  // The tick at which the picture next changes with no input; `now` while anything moves.
  // The round clock's seconds are the frame loop's to add.
  static int NextChange(int now);
  int NextChangeOf(BalloonState& round, int now) const;

  Sprite* scoreFont = nullptr;  // ten digits and a comma side by side
  Sprite* timerBar = nullptr;   // 37 frames stacked: full round .. empty
  Sprite* lightning = nullptr;  // drawn once the time has run out
  Sprite* cursorRing = nullptr; // the keyboard's cell cursor
  Sprite* soundSigns = nullptr; // music off, effects off: side by side
  Picture* previewPlate = nullptr;  // the pop preview's label
  SmallFont* smallFont = nullptr;   // the label's and the hall of fame's names
  int blinkFrame = 0;
  int lastToggle = 0;

 private:
  void LoadBackground();
  void AddClouds();
  void AddSideButtons();
  void LoadCatalogue();
  void LoadDisplaySprites();
  void LoadSounds();
  int ShowHelp();
  int RunPlayActions();
  DialogScreen* helpDialog = nullptr;  // the rules, while they are shown
  int StartLauncher();
};

extern BalloonModule TheBalloonModule;
