// The real program in a real window: under a virtual X server, with a script in real time.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "test_folder.h"

namespace fs = std::filesystem;

TEST(SdlWindow, TheGameShowsItsPictureInAWindowUnderX) {
  const char* exe = std::getenv("ZORBIT_EXE");
  fs::path data = fs::path(ZORBIT_BINARY_DIR) / "game";
  if (!exe || !fs::exists(exe) || !fs::exists(data / "background.bmp"))
    GTEST_SKIP() << "needs the built program and its generated data";
  if (std::system("command -v xvfb-run >/dev/null 2>&1") != 0) GTEST_SKIP() << "no xvfb-run";

  TempFolder dir;
  fs::copy(data, dir / "game", fs::copy_options::recursive);
  dir.Write("s.txt", "wait 1500\nmove 170 20\nwait 300\nscreenshot " + (dir / "shot.bmp") + "\n");
  // The system's display libraries keep a few allocations to the end; sanitizer builds
  // check our own code for leaks in the headless tests instead.
  std::string command = "ASAN_OPTIONS=detect_leaks=0 SDL_AUDIODRIVER=dummy "
                        "xvfb-run -a -s '-screen 0 1024x768x24' '" + std::string(exe) +
                        "' --data '" + (dir / "game") + "' --seed 1 --script '" +
                        (dir / "s.txt") + "' --max-ms 60000 >'" + (dir / "log.txt") + "' 2>&1";
  int status = std::system(command.c_str());
  EXPECT_EQ(status, 0) << dir.Read("log.txt");

  std::string bmp = dir.Read("shot.bmp");
  ASSERT_EQ(bmp.size(), 54u + 800 * 600 * 3) << dir.Read("log.txt");
  size_t lit = 0;
  for (size_t i = 54; i < bmp.size(); ++i) lit += bmp[i] != 0;
  EXPECT_GT(lit, bmp.size() / 4);  // the game's picture, not an empty screen
}
