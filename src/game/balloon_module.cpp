// The game module: loading the game's pictures, sounds, clouds and side buttons.
#include "game/balloon_module.h"

#include <cstdio>

#include "game/balloon_state.h"
#include "game/catalogue.h"
#include "game/hall_of_fame_screen.h"
#include "game/pause_screen.h"
#include "game/small_font.h"
#include "game/state_dump.h"
#include "shell/app.h"
#include "shell/idle.h"
#include "shell/redraw_list.h"
#include "sound/sound_bank.h"
#include "sprites/button.h"
#include "sprites/sprite.h"

BalloonModule TheBalloonModule("balloon");

namespace {

constexpr int CloudRows = 14;

struct SideButton {
  const char* name;
  const char* file;
  int x, y;
};
constexpr SideButton SideButtons[] = {
    {"newgame", "newgame.bmp", 13, 375},
    {"exit", "exit.bmp", 12, 525},
    {"help", "help.bmp", 12, 475},
    {"menu", "menu.bmp", 13, 425},
};

struct CataloguePicture {
  const char* file;
  const char* name;
};
// The blue files stand for the colour the board calls Orange.
constexpr CataloguePicture CataloguePictures[] = {
    {"red.bmp", "Red"},           {"blue.bmp", "Orange"},         {"yellow.bmp", "Yellow"},
    {"purple.bmp", "Purple"},     {"green.bmp", "Green"},         {"redstar.bmp", "RedStar"},
    {"bluestar.bmp", "OrangeStar"}, {"yellowstar.bmp", "YellowStar"},
    {"purplestar.bmp", "PurpleStar"}, {"greenstar.bmp", "GreenStar"},
    {"bigblue.bmp", "BigBlue"},   {"bigred.bmp", "BigRed"},       {"biggreen.bmp", "BigGreen"},
    {"bigpurple.bmp", "BigPurple"}, {"bigyellow.bmp", "BigYellow"}, {"pop.bmp", "pop"},
    {"x2.bmp", "x2"},             {"x4.bmp", "x4"},               {"x6.bmp", "x6"},
};

constexpr const char* SoundNames[] = {"pop1",     "pop2",  "pop3",   "pop4",    "pop5",
                                      "allcolor", "allpop", "pushrow", "negative", "bhitb",
                                      "reveal",   "blow",  "bonus",  "thunder"};

}  // namespace

Surface* CatalogueSurface(const char* name) {
  Picture* picture = TheBalloonModule.FindPicture(name);
  return picture ? picture->GetSurface() : nullptr;
}

BalloonModule::BalloonModule(const char* moduleName) {
  SetName(moduleName);
  backgroundPicture = nullptr;
}

BalloonModule::~BalloonModule() {
  delete scoreFont;
  delete timerBar;
  delete lightning;
  delete cursorRing;
  delete soundSigns;
  delete previewPlate;
  delete smallFont;
}

void BalloonModule::Open(DirectDraw* dd, Surface* surface) {
  ScreenModule::Open(dd, surface);
  LoadBackground();
  AddClouds();
  AddSideButtons();
  LoadCatalogue();
  LoadDisplaySprites();
  LoadSounds();
  RegisterRoundStateDump();
  RegisterHallOfFameEntries(StandingHallOfFame);
  GameKeyUp = [](int virtualKey) { return PauseTakesKeyUp(virtualKey) ? 1 : HallOfFameKeyUp(virtualKey); };
  GameFrameWhileInactive = PauseWaitsForFrame;
  ResetPause();
  SetNextChangeHook(&BalloonModule::NextChange);
  TheBalloonState.NewRound();
}

void BalloonModule::Close() {
  GameKeyUp = nullptr;
  GameFrameWhileInactive = nullptr;
  SetNextChangeHook(nullptr);
  SoundBank::FreeAll();
  ScreenModule::Close();
}

int BalloonModule::LoadPictureSet(const char* iniPath) {
  return ScreenModule::LoadPictureSet(iniPath);
}

int BalloonModule::Present() { return ScreenModule::Present(); }

void BalloonModule::LoadBackground() {
  // Two copies: the scene that gets composed, and the pristine layer it is wiped from.
  backgroundPicture = LoadPicture("background.bmp");
  if (backgroundPicture) TheRedrawList.SetBackground(backgroundPicture->GetSurface());
  layerPicture = LoadPicture("background.bmp");
  if (layerPicture) TheRedrawList.SetLayer(layerPicture->GetSurface());
  TheRedrawList.RefreshFullScreen();
}

void BalloonModule::AddClouds() {
  // The left column blows its row to the right ("Air%dr"), the right column to the left.
  const struct {
    int x;
    const char* format;
    const char* file;
  } columns[2] = {{88, "Air%dr", "CloudAnimLeft.bmp"}, {730, "Air%dl", "CloudAnimRight.bmp"}};
  for (const auto& column : columns) {
    for (int i = 0; i < CloudRows; ++i) {
      auto* cloud = new Button(column.x, 4 + 40 * i);
      char name[16];
      std::snprintf(name, sizeof name, column.format, i);
      cloud->SetName(name);
      cloud->LoadStrip(column.file, 3, 1);
      cloud->PaintIntoScene(&TheRedrawList);
      cloud->SetRegistersRedraw(1);
      buttons->Add(cloud);
    }
  }
}

void BalloonModule::AddSideButtons() {
  for (const SideButton& side : SideButtons) {
    auto* button = new Button(side.x, side.y);
    button->LoadStrip(side.file, 2, 0);
    button->SetName(side.name);
    buttons->Add(button);
  }
  // The HIGH SCORE card of the background opens the hall of fame: a button with no picture.
  auto* card = new Button(4, 36, 80, 46);
  card->SetName("halloffame");
  buttons->Add(card);
}

void BalloonModule::LoadCatalogue() {
  for (const CataloguePicture& entry : CataloguePictures) {
    auto* picture = new Picture();
    picture->Load(entry.file);
    picture->SetName(entry.name);
    pictures->Append(picture);
  }
}

void BalloonModule::LoadDisplaySprites() {
  // Kept for the rest of the run: a reopened module reuses them.
  if (!scoreFont) {
    scoreFont = new Sprite();
    scoreFont->LoadStrip("scorefont.bmp", 11, 0);  // ten digits and a comma
  }
  if (!timerBar) {
    timerBar = new Sprite();
    timerBar->LoadStrip("timer.bmp", 37, 1);
    // A stacked strip reports the whole picture's height; the bar redraws one frame.
    if (timerBar->FrameCount() == 37) timerBar->height /= 37;
  }
  if (!cursorRing) {
    cursorRing = new Sprite();
    cursorRing->LoadStrip("cursor.bmp", 1, 0);
  }
  if (!previewPlate) previewPlate = new Picture("preview.bmp");
  if (!smallFont) {
    smallFont = new SmallFont();
    smallFont->Load("smallfont.bmp");
  }
  if (!lightning) {
    lightning = new Sprite();
    lightning->LoadStrip("lightning.bmp", 1, 0);
  }
  if (!soundSigns) {
    soundSigns = new Sprite();
    soundSigns->LoadStrip("soundoff.bmp", 2, 0);
    // A strip reports the whole picture's width; one sign redraws one frame.
    if (soundSigns->FrameCount() == 2) soundSigns->width /= 2;
  }
}

void BalloonModule::LoadSounds() {
  for (const char* name : SoundNames) {
    char file[64];
    std::snprintf(file, sizeof file, "sounds\\%s.wav", name);
    SoundBank::Load(file, name);
  }
}
