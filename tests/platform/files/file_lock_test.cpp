// The lock copies of the game share: one holder at a time, a bounded wait, released with
// its holder, and never taken through a planted link.
#include "platform/files/file_lock.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "test_folder.h"

TEST(FileLock, OneHolderAtATimeAndTheWaitIsBounded) {
  TempFolder folder;
  std::string table = folder / "hiscore.dat";
  FileLock first, second;
  ASSERT_TRUE(first.Acquire(table, 0));
  EXPECT_FALSE(second.Acquire(table, 30));
  EXPECT_EQ(second.Error(), EWOULDBLOCK);
  // Moving the lock keeps it held; dropping the holder lets the next one in.
  FileLock moved = std::move(first);
  EXPECT_TRUE(moved.Held());
  EXPECT_FALSE(first.Held());
  EXPECT_FALSE(second.Acquire(table, 0));
  moved.Release();
  EXPECT_TRUE(second.Acquire(table, 0));
  EXPECT_TRUE(std::filesystem::exists(LockFileFor(table)));
}

TEST(FileLock, AnotherProcessWaitsUntilTheHolderLetsGo) {
  TempFolder folder;
  std::string table = folder / "hiscore.dat";
  FileLock held;
  ASSERT_TRUE(held.Acquire(table, 0));
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  pid_t child = ::fork();
  if (child == 0) {
    FileLock lock;
    bool busy = !lock.Acquire(table, 0);
    char c = 1;
    (void)!::write(ready[1], &c, 1);
    // The parent lets go shortly after this; a wait of seconds gets the lock.
    _exit(busy && lock.Acquire(table, 5000) ? 0 : 1);
  }
  char c;
  ASSERT_EQ(::read(ready[0], &c, 1), 1);
  held.Release();
  int status = 0;
  ::waitpid(child, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  ::close(ready[0]);
  ::close(ready[1]);
}

TEST(FileLock, APlantedLinkIsNotFollowed) {
  TempFolder folder;
  std::string table = folder / "hiscore.dat";
  std::filesystem::create_symlink(folder / "elsewhere", LockFileFor(table));
  FileLock lock;
  EXPECT_FALSE(lock.Acquire(table, 0));
  EXPECT_EQ(lock.Error(), ELOOP);
  EXPECT_FALSE(std::filesystem::exists(folder / "elsewhere"));
}
