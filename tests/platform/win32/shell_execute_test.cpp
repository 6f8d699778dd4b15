#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <thread>

#include "platform/win32/window/win.h"
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

// A backslash in the folder's own name is part of that name, never a separator: "x\\y" with
// a launcher in it must not run the one in "x/y". And the launcher gets no file of ours.
TEST(ShellExecute, TheFolderIsTakenAsItStandsAndOurFilesStayOurs) {
  TempFolder dir;
  const std::string script = "#!/bin/sh\nls /proc/self/fd | wc -l > fds.tmp\nmv fds.tmp fds.txt\n";
  dir.Write("x\\y/Gatefold", script);
  dir.Write("x/y/Gatefold", "#!/bin/sh\ntouch wrong.txt\n");
  ::chmod((dir / "x\\y/Gatefold").c_str(), 0755);
  ::chmod((dir / "x/y/Gatefold").c_str(), 0755);
  std::FILE* held = std::fopen((dir / "held.txt").c_str(), "w");  // no close-on-exec
  const std::string folder = dir / "x\\y";
  EXPECT_GT(ShellExecute(nullptr, "open", (folder + "\\Gatefold.exe").c_str(), "Zorbit",
                         folder.c_str(), SW_SHOWNORMAL),
            32);
  std::string fds;
  for (int i = 0; i < 500 && fds.empty(); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    fds = dir.Read("x\\y/fds.txt");
  }
  std::fclose(held);
  EXPECT_EQ(fds, "4\n");  // 0, 1, 2 and the one ls itself opens to list them
  EXPECT_FALSE(std::filesystem::exists(dir / "x/y/wrong.txt"));
}
