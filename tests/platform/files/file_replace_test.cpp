// Replacing a file: never through a planted name, never half, nothing left behind, and the
// file's mode, owner and links as they were.
#include "platform/files/file_replace.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "scratch_mount.h"
#include "test_folder.h"

namespace fs = std::filesystem;

namespace {

// Every name in the folder, hidden ones included.
std::vector<std::string> Names(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

mode_t ModeOf(const std::string& path) {
  struct stat info{};
  ::lstat(path.c_str(), &info);
  return info.st_mode;
}

TEST(FileReplace, KeepsModeAndLinksAndNeverFollowsAPlantedName) {
  TempFolder dir;
  dir.Write("secret.ini", "old");
  ::chmod((dir / "secret.ini").c_str(), 0600);
  ASSERT_EQ(ReplaceFile(dir / "secret.ini", "new"), 0);
  EXPECT_EQ(dir.Read("secret.ini"), "new");
  EXPECT_EQ(ModeOf(dir / "secret.ini") & 07777, 0600u);

  // A link is written through: its file gets the contents, the link stays a link.
  dir.Write("real/options.ini", "a=1\n");
  fs::create_symlink("real/options.ini", dir / "options.ini");
  ASSERT_EQ(ReplaceFile(dir / "options.ini", "a=2\n"), 0);
  EXPECT_TRUE(fs::is_symlink(dir / "options.ini"));
  EXPECT_EQ(dir.Read("real/options.ini"), "a=2\n");

  // Names an earlier writer used, planted as links to another file, are left alone.
  dir.Write("victim", "keep me");
  fs::create_symlink(dir / "victim", dir / "table.dat.new");
  fs::create_symlink(dir / "victim", dir / ("table.dat.tmp" + std::to_string(::getpid())));
  ASSERT_EQ(ReplaceFile(dir / "table.dat", "table"), 0);
  EXPECT_EQ(dir.Read("victim"), "keep me");
  EXPECT_FALSE(fs::is_symlink(dir / "table.dat"));
  EXPECT_EQ(dir.Read("table.dat"), "table");

  // A device is written in place, and a full one is a failure.
  EXPECT_EQ(ReplaceFile("/dev/null", "x"), 0);
  EXPECT_EQ(ReplaceFile("/dev/full", "x"), ENOSPC);
  EXPECT_EQ(ReplaceFile(dir / "a/b/c", "x"), ENOENT);
}

TEST(FileReplace, AFailureKeepsTheOldFileAndLeavesNoTemporaryFile) {
  TempFolder dir;
  fs::create_directory(dir / "hiscore.dat");
  EXPECT_EQ(ReplaceFile(dir / "hiscore.dat", "x"), EISDIR);
  EXPECT_EQ(Names(dir.path()), std::vector<std::string>{"hiscore.dat"});

  // A replacement given up half-way (the program failed on the way) leaves nothing.
  dir.Write("f", "old");
  {
    FileReplacement half(dir / "f");
    ASSERT_TRUE(half.Write("ne", 2));
  }
  EXPECT_EQ(dir.Read("f"), "old");
  EXPECT_EQ(Names(dir.path()), (std::vector<std::string>{"f", "hiscore.dat"}));

  // What a killed run left is cleared on the next write, but not a running one's file.
  dir.Write(".f.partial-2147483647-00ff", "dead");
  std::string live = ".f.partial-" + std::to_string(::getpid()) + "-00ff";
  dir.Write(live, "mine");
  dir.Write(".g.partial-2147483647-00ff", "another file's");
  ASSERT_EQ(ReplaceFile(dir / "f", "new"), 0);
  EXPECT_EQ(Names(dir.path()),
            (std::vector<std::string>{".f.partial-" + std::to_string(::getpid()) + "-00ff",
                                      ".g.partial-2147483647-00ff", "f", "hiscore.dat"}));
}

TEST(FileReplace, AFullDiskOrReadOnlyFolderFailsAndKeepsTheOldFile) {
  ScratchMount disk(64 * 1024);
  if (!disk.ok()) GTEST_SKIP() << "mounting a tmpfs is not allowed here";
  std::string old(5204, 'o');
  ASSERT_EQ(ReplaceFile(disk / "hiscore.dat", old), 0);
  disk.FillUp();
  EXPECT_EQ(ReplaceFile(disk / "hiscore.dat", std::string(5204, 'n')), ENOSPC);
  EXPECT_EQ(Names(disk.path()), (std::vector<std::string>{"filler", "hiscore.dat"}));

  fs::remove(disk / "filler");
  ASSERT_TRUE(disk.MakeReadOnly());
  EXPECT_EQ(ReplaceFile(disk / "hiscore.dat", "n"), EROFS);
  std::ifstream in(disk / "hiscore.dat", std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), old);
}

}  // namespace
