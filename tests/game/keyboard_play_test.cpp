// Whole rounds played with the keyboard: the cell cursor, popping and blowing through the
// same paths as the mouse, the side buttons' keys, and the mouse taking the board back.
#include "e2e_util.h"

using namespace e2e;

namespace {

// Keys that move the cursor from column 0, row 0 to a cell.
std::string CursorTo(int cell) {
  std::string keys;
  for (int i = 0; i < cell % 18; ++i) keys += "key right\n";
  for (int i = 0; i < cell / 18; ++i) keys += "key down\n";
  return keys;
}

std::string Repeat(const std::string& line, int times) {
  std::string lines;
  for (int i = 0; i < times; ++i) lines += line;
  return lines;
}

using KeyboardPlay = GameRun;

TEST_F(KeyboardPlay, TheCursorPopsAndBlowsExactlyAsTheMouseDoes) {
  const Dump start = StartBoard();
  ASSERT_TRUE(start.ok());
  EXPECT_EQ(start.Int("cursorShown"), 0);
  EXPECT_EQ(start.Int("cursorColumn"), 0);
  const int cell = FirstGroupCell(start);
  ASSERT_GE(cell, 0);
  const std::string click = "wait 300\nclick " + CellPoint(cell % 18, cell / 18) + "\nwait 3000\n";
  ASSERT_EQ(Run(click + "dump mouse.json\nclick 118 544\nwait 2000\ndump mcloud.json\n"
                "click 760 304\nwait 2000\ndump mcloud2.json\n"),
            0);
  // Up and left at the corner stay there; the edges stop the cursor.
  ASSERT_EQ(Run("wait 300\nkey up\nkey left\ndump corner.json\n" + CursorTo(cell) +
                "dump aimed.json\nscreenshot aimed.bmp\nkey space\nwait 3000\ndump keys.json\n" +
                Repeat("key down\n", 13) + "keydown lshift\nkey right\nkeyup lshift\nwait 2000\n"
                "dump kcloud.json\n" + Repeat("key up\n", 6) +
                "keydown lshift\nkey left\nkeyup lshift\nwait 2000\ndump kcloud2.json\n" +
                Repeat("key down\n", 7) +
                "key enter\nwait 3000\ndump enter.json\nmove 20 20\nwait 100\ndump moved.json\n"),
            0);
  const Dump corner = Read("corner.json"), aimed = Read("aimed.json");
  EXPECT_EQ(corner.Int("cursorColumn"), 0);
  EXPECT_EQ(corner.Int("cursorRow"), 0);
  EXPECT_EQ(corner.Int("cursorShown"), 1);
  EXPECT_EQ(aimed.Int("cursorColumn"), cell % 18);
  EXPECT_EQ(aimed.Int("cursorRow"), cell / 18);
  EXPECT_GT(PictureShown("aimed.bmp", "cursor.bmp", 154 + 32 * (cell % 18), 7 + 40 * (cell / 18)),
            0.5);
  const Dump mouse = Read("mouse.json"), keys = Read("keys.json");
  EXPECT_EQ(aimed.Int("previewPoints"), mouse.Int("lastPopScore"))
      << "the ring's group is previewed, whatever lies under the pointer";
  EXPECT_EQ(keys.cells, mouse.cells);
  EXPECT_EQ(keys.Int("score"), mouse.Int("score"));
  EXPECT_EQ(keys.Int("lastPopScore"), mouse.Int("lastPopScore"));
  // Shift+Right blows row 13 as its left cloud does, Shift+Left row 7 as its right cloud.
  EXPECT_EQ(Read("kcloud.json").cells, Read("mcloud.json").cells);
  EXPECT_EQ(Read("kcloud2.json").cells, Read("mcloud2.json").cells);
  // Past the bottom edge the cursor stays in row 13; Return pops there like Space.
  const Dump enter = Read("enter.json"), moved = Read("moved.json");
  EXPECT_EQ(enter.Int("cursorRow"), 13);
  EXPECT_EQ(enter.Int("cursorShown"), 1);
  EXPECT_EQ(moved.Int("cursorShown"), 0) << "the mouse moved";
}

TEST_F(KeyboardPlay, AWholeRoundNeedsNoMouse) {
  Setup("gametime=3\n");
  // H opens the rules and Space closes them, and so with F2's table: the keys pressed while
  // the table shows are used up there, not played on the board after it closes. The round
  // runs out of time, the game-over pictures pass by themselves, and N starts the next round.
  ASSERT_EQ(Run("wait 300\nkey h\nwait 500\ndump help.json\nkey space\nwait 300\n"
                "dump back.json\nkey f2\nwait 300\nkey n\nkey down\nkeydown lshift\nkey right\n"
                "keyup lshift\ndump table.json\nkey space\nwait 300\ndump closed.json\n"
                "key right\nkey space\nwait 9000\ndump over.json\nkey n\n"
                "wait 300\ndump again.json\n"),
            0);
  const Dump help = Read("help.json"), back = Read("back.json");
  EXPECT_EQ(help.Int("clockRunning"), 0) << "the rules are showing";
  EXPECT_EQ(back.Int("clockRunning"), 1);
  EXPECT_EQ(Read("table.json").Int("clockRunning"), 0) << "the table is showing";
  const Dump closed = Read("closed.json");
  EXPECT_EQ(closed.Int("clockRunning"), 1) << "Space closed the table";
  EXPECT_EQ(closed.cells, back.cells) << "no new round, no blow, no pop";
  EXPECT_EQ(closed.Int("cursorRow"), back.Int("cursorRow"));
  EXPECT_EQ(closed.Int("cursorShown"), back.Int("cursorShown"));
  EXPECT_EQ(Read("over.json").Int("state"), 0);  // Title: the round is over
  const Dump again = Read("again.json");
  EXPECT_EQ(again.Int("state"), 1);
  EXPECT_EQ(again.Int("score"), 0);
  EXPECT_EQ(again.Int("cursorShown"), 0);
  EXPECT_EQ(again.Int("cursorColumn"), 0);
}

}  // namespace
