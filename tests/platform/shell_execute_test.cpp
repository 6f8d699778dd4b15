#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <thread>

#include "platform/win.h"
#include "test_folder.h"

TEST(ShellExecute, StartsTheLauncherDirectlyWithItsArgumentAndFolder) {
  TempFolder dir;
  // A launcher without the Windows suffix; its argument must arrive as one word, unexpanded.
  dir.Write("launcher/Gatefold", "#!/bin/sh\nprintf '%s|%s|' \"$1\" \"$#\" > out.tmp\npwd >> out.tmp\n"
                                 "mv out.tmp out.txt\n");
  ::chmod((dir / "launcher/Gatefold").c_str(), 0755);
  std::string folder = dir / "launcher";
  intptr_t result = ShellExecute(nullptr, "open", (folder + "\\Gatefold.exe").c_str(),
                                 "Zorbit $HOME;x", folder.c_str(), SW_SHOWNORMAL);
  EXPECT_GT(result, 32);
  std::string out;
  for (int i = 0; i < 500 && out.empty(); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    out = dir.Read("launcher/out.txt");
  }
  EXPECT_EQ(out, "Zorbit $HOME;x|1|" + folder + "\n");

  EXPECT_LE(ShellExecute(nullptr, "open", (folder + "\\Missing.exe").c_str(), "", folder.c_str(), 1),
            32);
  EXPECT_LE(ShellExecute(nullptr, "open", (folder + "\\Gatefold.exe").c_str(), "",
                         (dir / "nowhere").c_str(), 1),
            32);
  EXPECT_LE(ShellExecute(nullptr, "open", nullptr, "", nullptr, 1), 32);
}
