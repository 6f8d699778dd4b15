// The ./run script at the top of the source tree, as a player first meets it.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "shell_test_util.h"
#include "test_support.h"

namespace {

// Help is only text: no display needed, and no warning about one.
TEST(RunScript, HelpPrintsTheOptionsWithoutADisplay) {
  shelltest::GameDir dir;
  const std::string command = "cd '" + dir.path().string() +
                              "' && env -u DISPLAY -u WAYLAND_DISPLAY HOME=\"$PWD\" XDG_DATA_HOME=\"$PWD\""
                              " ZORBIT_BUILD_DIR='" ZORBIT_BINARY_DIR "' '" ZORBIT_SOURCE_DIR "/run' --help"
                              " > out.txt 2> err.txt";
  const int status = std::system(command.c_str());
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << ReadWholeFile(dir.path() / "err.txt");
  EXPECT_EQ(ReadWholeFile(dir.path() / "out.txt").rfind("Usage: zorbit", 0), 0u);
  EXPECT_EQ(ReadWholeFile(dir.path() / "err.txt"), "");
}

}  // namespace
