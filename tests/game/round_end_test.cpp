#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "game/balloon_state.h"
#include "game/round_end.h"
#include "high_score_test_util.h"
#include "platform/files/paths.h"
#include "shell/frame_timer.h"

namespace {

// Runs the ends of a round against the real state object with the pictures and the drawing
// replaced by a log, in a data folder of its own ("game", with the options file above it).
class RoundEndTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directory(dir.File("game"));
    oldCwd = std::filesystem::current_path();
    std::filesystem::current_path(dir.File("game"));
    ResetFrameTimerState();
    RoundEndHooks hooks;
    hooks.runPicture = [this](const char* picture, int defaultButton, int ms) {
      log.push_back(std::string(picture) + (defaultButton ? " button " : " ") + std::to_string(ms));
      return picture == closeOn ? 0 : 1;
    };
    hooks.draw = [](const char*) {};
    SetRoundEndHooks(hooks);
    TheBalloonState.soundHook = [this](const char* name) { log.push_back(name); };
    TheBalloonState.highScores.Init(kHallOfFameSize);
    TheBalloonState.SetScore(0);
    TheBalloonState.dirty = 0;
  }
  void TearDown() override {
    EndCongratulations();
    SetRoundEndHooks({});
    TheBalloonState.soundHook = nullptr;
    TheBalloonState.highScores.Free();
    std::filesystem::current_path(oldCwd);
  }
  void EndRoundWith(int32_t state, int32_t endReason, int32_t score) {
    TheBalloonState.SetState(state);
    TheBalloonState.endReason = endReason;
    TheBalloonState.SetScore(score);
  }
  HighScoreTable SavedTable() {
    HighScoreTable t;
    t.Init(kHallOfFameSize);
    t.Read("hiscore.dat");
    return t;
  }

  ScratchDir dir;
  std::filesystem::path oldCwd;
  std::vector<std::string> log;
  std::string closeOn;
};

TEST_F(RoundEndTest, OutOfTimeThundersFirstAndAScoreEqualToTheLastDoesNotEnter) {
  EndRoundWith(Ending, EndStillPlaying, 300);
  EXPECT_EQ(GameOverSequence(), 1);
  EXPECT_EQ(log, (std::vector<std::string>{"thunder", "GameOverOOT.bmp button 2000",
                                           "hallfamepop.bmp 1000"}));
  EXPECT_EQ(TheBalloonState.GetState(), Title);

  // The table is full with 300 at the bottom: another 300 is no entry, and no file.
  std::filesystem::remove("hiscore.dat");
  for (int i = 1; i < kHallOfFameSize; ++i) TheBalloonState.highScores.Insert("Old:::Y", 9000);
  log.clear();
  EndRoundWith(Ending, EndNoMoveLeft, 300);
  EXPECT_EQ(GameOverSequence(), 1);
  EXPECT_EQ(log, std::vector<std::string>{"GameOverNMM.bmp button 2000"});
  EXPECT_FALSE(std::filesystem::exists("hiscore.dat"));
}

TEST_F(RoundEndTest, ClosingDuringAPictureStopsTheSequenceThere) {
  closeOn = "GameOverOOT.bmp";
  EndRoundWith(Ending, EndStillPlaying, 100);
  EXPECT_EQ(GameOverSequence(), 0);
  EXPECT_FALSE(std::filesystem::exists("hiscore.dat"));  // not saved
  EXPECT_EQ(TheBalloonState.GetState(), Ending);

  // Closing during the hall-of-fame picture: the score was already saved.
  log.clear();
  closeOn = "hallfamepop.bmp";
  EXPECT_EQ(GameOverSequence(), 0);
  EXPECT_EQ(SavedTable().TopScore(), 100);
  EXPECT_EQ(TheBalloonState.GetState(), Ending);
}

TEST_F(RoundEndTest, CongratulationsBlinkUntilAClickThenTheScoreEnters) {
  EndRoundWith(Cleared, EndBoardCleared, 540000);
  EXPECT_EQ(CongratulationsStep(0), 1);
  ASSERT_TRUE(CongratulationsShowing());
  std::vector<int> frames;
  for (int i = 0; i < 120; ++i) {  // 1.2 s of 10 ms ticks
    FrameTimerStep();
    EXPECT_EQ(CongratulationsStep(0), 1);
    frames.push_back(CongratulationsBlinkFrame());
  }
  int toggles = 0;
  for (size_t i = 1; i < frames.size(); ++i) toggles += frames[i] != frames[i - 1];
  EXPECT_EQ(toggles, 2);  // every half second
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(TheBalloonState.GetState(), Cleared);

  EXPECT_EQ(CongratulationsStep(1), 1);
  EXPECT_FALSE(CongratulationsShowing());
  EXPECT_EQ(TheBalloonState.GetState(), Title);
  EXPECT_EQ(log, std::vector<std::string>{"hallfamepop.bmp 1000"});
  EXPECT_EQ(SavedTable().TopScore(), 540000);
}

TEST_F(RoundEndTest, AButtonHeldWhenTheBoardClearsEndsTheCongratulationsAtOnce) {
  closeOn = "hallfamepop.bmp";
  EndRoundWith(Cleared, EndBoardCleared, 500000);
  EXPECT_EQ(CongratulationsStep(2), 0);  // and the application closes in the picture
  EXPECT_FALSE(CongratulationsShowing());
  EXPECT_EQ(TheBalloonState.GetState(), Title);
  EXPECT_EQ(SavedTable().TopScore(), 500000);
}

// Copies of the game that read the table when their rounds began and end them together:
// each keeps its score, ranked, and the table on screen is the one written.
TEST_F(RoundEndTest, CopiesEndingTogetherKeepEveryScoreRanked) {
  constexpr int kCopies = 8;
  int ready[2], go[2];
  ASSERT_EQ(pipe(ready), 0);
  ASSERT_EQ(pipe(go), 0);
  std::vector<pid_t> copies;
  for (int i = 0; i < kCopies; ++i) {
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      TheBalloonState.highScores.Read("hiscore.dat");  // the round begins
      char byte = 0;
      close(go[1]);
      if (write(ready[1], &byte, 1) != 1 || read(go[0], &byte, 1) != 0) _exit(2);
      EndRoundWith(Ending, EndNoMoveLeft, 1000 + 10 * i);
      _exit(GameOverSequence() == 1 && log.back() == "hallfamepop.bmp 1000" ? 0 : 1);
    }
    copies.push_back(child);
  }
  close(go[0]);
  for (int i = 0; i < kCopies; ++i) {
    char byte;
    ASSERT_EQ(read(ready[0], &byte, 1), 1);
  }
  close(go[1]);  // all of them at once
  for (pid_t child : copies) {
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  // This copy still holds the empty table it read before the others saved.
  EndRoundWith(Ending, EndNoMoveLeft, 1035);
  EXPECT_EQ(GameOverSequence(), 1);
  const HighScoreTable saved = SavedTable();
  EXPECT_EQ(saved.Serialize(), TheBalloonState.highScores.Serialize());
  std::vector<int32_t> scores;
  for (int i = 0; i < kCopies + 1; ++i) scores.push_back(saved.Record(i)->score);
  EXPECT_EQ(scores, (std::vector<int32_t>{1070, 1060, 1050, 1040, 1035, 1030, 1020, 1010, 1000}));
  close(ready[0]);
  close(ready[1]);
}

// A save that cannot be done says why, naming the first step that failed; the entry is
// neither shown as entered nor lost in silence.
TEST_F(RoundEndTest, AFailedSaveNamesItsFirstCause) {
  std::vector<std::string> told;
  RoundEndHooks hooks;
  hooks.runPicture = [this](const char* picture, int, int) { return log.push_back(picture), 1; };
  hooks.draw = [](const char*) {};
  hooks.saveFailed = [&](const std::string& message) { told.push_back(message); };
  SetRoundEndHooks(hooks);
  auto endWith = [&](int32_t score) {
    told.clear();
    log.clear();
    EndRoundWith(Ending, EndNoMoveLeft, score);
    EXPECT_EQ(GameOverSequence(), 1);
    EXPECT_EQ(log, std::vector<std::string>{"GameOverNMM.bmp"});
    return told.size() == 1 ? told[0] : std::string("(told ") + std::to_string(told.size()) + ")";
  };

  // The lock beside the table cannot be taken: a planted link stands in its place.
  std::filesystem::create_symlink(dir.File("elsewhere"), "hiscore.dat.lock");
  EXPECT_NE(endWith(100).find("Your score could not be saved in hiscore.dat ("),
            std::string::npos);
  EXPECT_FALSE(std::filesystem::exists("hiscore.dat"));
  std::filesystem::remove("hiscore.dat.lock");

  // The player's folder cannot be made: its place is taken by a file, or it would be made
  // where nothing can be (an XDG_DATA_HOME of /proc/self).
  WriteWholeFile(dir.File("taken"), "");
  for (const std::string& player : {dir.File("taken/zorbit/game"), std::string("/proc/self/zorbit/game")}) {
    SetFileFolders(player, ".");
    const std::string message = endWith(200);
    ClearFileFolders();
    EXPECT_NE(message.find("(the folder " + player + " could not be made: "), std::string::npos)
        << message;
  }
  // Another copy keeps the table busy.
  EXPECT_NE(SaveFailedText({false, EWOULDBLOCK, {}}).find("another copy of the game kept it busy"),
            std::string::npos);
}

}  // namespace
