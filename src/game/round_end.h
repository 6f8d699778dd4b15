// The ends of a round: the congratulations after a cleared board, the game-over pictures,
// and the offer of the score to the hall of fame. BalloonState::Frame calls them:
//
//   case Cleared: if (!CongratulationsStep(buttons)) return QuitCode; break;
//   case Ending:  if (airplane is off screen && !GameOverSequence()) return QuitCode; break;
//
// Both return 0 only when the application is closing (a dialog's Run returned 0) and leave
// the round in Title otherwise. EndCongratulations belongs in EndRound, so that a new game
// started during the congratulations shows them afresh next time.
#pragma once

#include <functional>
#include <string>

#include "game/high_score_table.h"

// Once per frame in Cleared, with the mouse button bits. 0 when the application closes.
int CongratulationsStep(int buttons);
// The whole game-over sequence within one frame. 0 when the application closes.
int GameOverSequence();
// Drops the congratulation sprites, if any.
void EndCongratulations();

// The player's entry text goes into buffer (256 bytes); when the score enters the table
// the file is written and "hallfamepop.bmp" shown; a file that cannot be written is told to
// the player instead (the old file stays). 0 when the application closes.
int OfferToHallOfFame(char* buffer);
// The message for a save that failed: a message box over the window (a line on standard
// error when headless). It names the first step that failed: a folder that could not be
// made, a lock another copy held too long, or the write itself.
void TellSaveFailed(const EntrySave& save);
std::string SaveFailedText(const EntrySave& save);
// "hallfamepop.bmp" for one second. 0 when the application closes.
int HallOfFamePicture();

// Test seams. runPicture replaces the modal dialogs (picture, has a default button, how
// long) and returns what the dialog's Run would; draw replaces every drawing and
// presenting step (the round, the redraw list, the sprites) and is told which step.
struct RoundEndHooks {
  std::function<int(const char* picture, int defaultButton, int durationMs)> runPicture;
  std::function<void(const char* step)> draw;
  std::function<void(const std::string& message)> saveFailed;
};
void SetRoundEndHooks(RoundEndHooks hooks);

// Whether the congratulations are up, and the blinker's frame (-1 without one), for tests.
int CongratulationsBlinkFrame();
bool CongratulationsShowing();
