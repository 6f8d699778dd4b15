// Module selection, frame and message forwarding, presenters, and the button set.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/app.h"
#include "shell/screen_module.h"
#include "sprites/button.h"

namespace {

struct CountingModule : ScreenModule {
  explicit CountingModule(const char* moduleName, std::vector<std::string>* log = nullptr)
      : log(log) {
    SetName(moduleName);
  }
  void Open(DirectDraw* dd, Surface* surface) override {
    ScreenModule::Open(dd, surface);
    ++opens;
    if (log) log->push_back(std::string("open ") + name);
  }
  void Close() override {
    ScreenModule::Close();
    ++closes;
    if (log) log->push_back(std::string("close ") + name);
  }
  int Frame(int active) override {
    lastActive = active;
    return frameResult;
  }
  int HandleMessage(ScreenModule* module, HWND, UINT message, WPARAM, LPARAM) override {
    lastModule = module;
    lastMessage = message;
    return 42;
  }
  int Present() override {
    if (presenter) return ScreenModule::Present();
    return ++presents;
  }
  std::vector<std::string>* log;
  int opens = 0, closes = 0, presents = 0, lastActive = -1, frameResult = 1;
  ScreenModule* lastModule = nullptr;
  UINT lastMessage = 0;
};

TEST(ModuleManagerTest, SelectClosesTheCurrentAndOpensTheNamedModule) {
  std::vector<std::string> log;
  CountingModule title("title", &log), game("balloon", &log);
  ModuleManager manager;
  auto* surface = reinterpret_cast<Surface*>(0x10);
  manager.Attach(nullptr, surface);
  manager.AddModule(&title);
  manager.AddModule(&game);

  EXPECT_EQ(manager.SelectModule("balloon"), &game);
  EXPECT_EQ(game.target, surface);
  EXPECT_EQ(manager.SelectModule("title"), &title);
  EXPECT_EQ(log, (std::vector<std::string>{"open balloon", "close balloon", "open title"}));

  // Selecting the current module again, or a name nobody has, changes nothing.
  EXPECT_EQ(manager.SelectModule("title"), &title);
  EXPECT_EQ(manager.SelectModule("Title"), &title);
  EXPECT_EQ(title.opens, 1);
  EXPECT_EQ(title.closes, 0);

  // A second module of the current one's name is opened in its place.
  CountingModule twin("title", &log);
  manager.AddModule(&twin);
  EXPECT_EQ(manager.SelectModule("title"), &twin);
  EXPECT_EQ(title.closes, 1);

  // CloseAll closes every module, opened or not, and leaves them without lists.
  manager.CloseAll();
  EXPECT_EQ(game.closes, 2);
  EXPECT_EQ(twin.closes, 1);
  EXPECT_EQ(twin.buttons, nullptr);
  EXPECT_EQ(twin.pictures, nullptr);
}

TEST(ModuleManagerTest, FramesAndMessagesGoToTheCurrentModule) {
  ModuleManager manager;
  EXPECT_EQ(manager.RunFrame(1), 0);
  EXPECT_EQ(manager.HandleMessage(nullptr, WM_KEYUP, 0, 0), 1);

  CountingModule game("balloon");
  game.frameResult = QuitCode;
  manager.AddModule(&game);
  manager.SelectModule("balloon");
  EXPECT_EQ(manager.RunFrame(1), QuitCode);
  EXPECT_EQ(game.lastActive, 1);
  EXPECT_EQ(manager.HandleMessage(nullptr, WM_KEYUP, 0, 0), 42);
  EXPECT_EQ(game.lastModule, &game);
  EXPECT_EQ(game.lastMessage, WM_KEYUP);
}

TEST(ScreenModuleTest, PresentGoesToThePresenterAlone) {
  CountingModule owner("owner"), dialog("dialog");
  EXPECT_EQ(dialog.SetPresenter(&owner), &dialog);
  dialog.Present();
  dialog.Present();
  EXPECT_EQ(owner.presents, 2);
  EXPECT_EQ(dialog.presents, 0);
  dialog.SetPresenter(&dialog);
  EXPECT_EQ(dialog.presenter, nullptr) << "a module cannot present through itself";
}

TEST(ButtonSetTest, FindsRemovesAndReportsPressedButtonsByName) {
  ButtonSet set;
  auto* ok = new Button(0, 0, 10, 10);
  ok->SetName("ok");
  auto* cancel = new Button(20, 0, 10, 10);
  cancel->SetName("cancel");
  set.Add(ok);
  set.Add(cancel);

  set.MouseInput(25, 5, 1);
  set.MouseInput(25, 5, 0);
  EXPECT_EQ(set.Pressed(), cancel);
  EXPECT_EQ(set.WasPressed("cancel"), 1);
  EXPECT_EQ(set.WasPressed("ok"), 0);

  set.SetOrigin(100, 50);
  EXPECT_EQ(ok->originX, 100);
  EXPECT_EQ(cancel->originY, 50);

  EXPECT_EQ(set.Find("cancel"), cancel);
  set.Remove("cancel");
  EXPECT_EQ(set.Find("cancel"), nullptr);
  EXPECT_EQ(set.buttons.Count(), 1);
  set.Remove("nothing");
  EXPECT_EQ(set.buttons.Count(), 1);
}

}  // namespace
