#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "game/balloon_state.h"
#include "game/round_end.h"
#include "high_score_test_util.h"
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

}  // namespace
