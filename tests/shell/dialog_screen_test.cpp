// The modal dialog: what ends it (a button, a held key, the deadline, the window closing)
// and where it sits.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "platform/win32/window/input.h"
#include "platform/win32/window/window_internal.h"
#include "shell/app.h"
#include "shell/dialog_screen.h"
#include "shell/frame_timer.h"
#include "shell/mouse_state.h"
#include "shell/redraw_list.h"
#include "shell_test_util.h"
#include "sprites/button.h"
#include "sprites/sprite.h"

using namespace shelltest;

namespace {

// Stands in for the game module: each present moves time on by one tick and lets the test
// script the mouse.
struct ScriptedPresenter : ScreenModule {
  int Present() override {
    ++presents;
    FrameTimerStep();
    NoteProgress();
    if (script) script(presents);
    return 1;
  }
  int presents = 0;
  std::function<void(int)> script;
};

class DialogScreenTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetFrameTimerState();
    ResetWindowsAndMessages();
    input::Reset();
    TheMouseState.MoveTo(0, 0);
    TheMouseState.buttons.store(0);
    TheMouseState.ShowButtons(0);
    TheRedrawList.Reset();
    WriteSolidBmp(dir.path() / "page.bmp", 100, 50, 0x808080);
    dialog.AddDialogPicture("page.bmp", "page");
    dialog.SetPresenter(&presenter);
  }
  void TearDown() override {
    input::Reset();
    TheMouseState.buttons.store(0);
    TheRedrawList.Reset();
    ResetWindowsAndMessages();
  }
  void Mouse(int x, int y, int bits) {
    TheMouseState.MoveTo(x, y);
    TheMouseState.ShowButtons(bits);  // as the frame's view of the timer gives them
  }

  ScratchDir dir;
  ScriptedPresenter presenter;
  DialogScreen dialog;
  char result[256] = "untouched";
};

TEST_F(DialogScreenTest, APageIsCentredOnceAndAnExplicitPlaceIsKept) {
  EXPECT_EQ(dialog.left, 350);
  EXPECT_EQ(dialog.top, 275);
  EXPECT_EQ(dialog.right, 450);
  EXPECT_EQ(dialog.bottom, 325);
  EXPECT_EQ(dialog.SetPosition(10, 20), 20);
  EXPECT_EQ(dialog.right, 110);
  dialog.SetPosition(-1, -1);
  EXPECT_EQ(dialog.left, 10);
  EXPECT_EQ(dialog.top, 20);
}

TEST_F(DialogScreenTest, DefaultButtonEndsItOnAClickAnywhereOnThePage) {
  dialog.AddDefaultButton();
  presenter.script = [this](int n) {
    if (n == 2) Mouse(360, 280, MouseLeft);  // top-left corner area of the page
    if (n == 3) Mouse(360, 280, 0);
  };
  Mouse(10, 10, 0);
  EXPECT_EQ(dialog.Run(result, nullptr), 1);
  EXPECT_STREQ(result, "default");
  EXPECT_EQ(presenter.presents, 4) << "the pass that sees the release still presents";
}

TEST_F(DialogScreenTest, AKeyHeldWhenItStartsEndsItAtOnce) {
  dialog.SetKey(VK_RETURN);
  input::Key(28, true);  // Enter
  EXPECT_EQ(dialog.Run(result, "page"), 1);
  EXPECT_STREQ(result, "key");
  EXPECT_EQ(presenter.presents, 1);
}

TEST_F(DialogScreenTest, TheDeadlineEndsItAfterAboutOneSecondWithAnEmptyResult) {
  dialog.SetName("stale");
  int start = GetTicks();
  dialog.SetDeadline(start + 1000);
  EXPECT_EQ(dialog.Run(result, nullptr), 1);
  EXPECT_STREQ(result, "");
  EXPECT_GT(TicksSince(start), 1000);
  EXPECT_LE(TicksSince(start), 1020);
}

TEST_F(DialogScreenTest, ParentButtonsCanEndItWhenAllowed) {
  auto* parentButton = new Button(0, 0, 20, 20);
  parentButton->SetName("exit");
  presenter.AddButton(parentButton);
  dialog.SetParentButtons(1);
  dialog.SetDeadline(GetTicks() + 200);
  presenter.script = [this](int n) {
    if (n == 1) Mouse(5, 5, MouseLeft);
    if (n == 2) Mouse(5, 5, 0);
  };
  EXPECT_EQ(dialog.Run(result, nullptr), 1);
  EXPECT_STREQ(result, "exit");

  dialog.SetParentButtons(0);
  presenter.presents = 0;
  dialog.SetDeadline(GetTicks() + 100);
  Mouse(0, 0, 0);
  EXPECT_EQ(dialog.Run(result, nullptr), 1);
  EXPECT_STREQ(result, "") << "the parent's buttons are ignored";
}

TEST_F(DialogScreenTest, TheSceneIsThePageWhileItRunsAndComesBackOnEveryEnd) {
  SurfacePtr scene = MakeSurface(8, 8);
  TheRedrawList.SetBackground(scene.get());
  Surface* seen = nullptr;
  presenter.script = [&](int) { seen = TheRedrawList.GetBackground(); };
  dialog.SetDeadline(GetTicks() + 20);
  dialog.Run(nullptr, nullptr);
  EXPECT_EQ(seen, dialog.GetPicture()->GetSurface());
  EXPECT_EQ(TheRedrawList.GetBackground(), scene.get());

  PostQuitMessage(0);  // the window closed: 0 at once, the result left alone
  EXPECT_EQ(dialog.Run(result, nullptr), 0);
  EXPECT_STREQ(result, "untouched");
  EXPECT_EQ(TheRedrawList.GetBackground(), scene.get());
}

}  // namespace
