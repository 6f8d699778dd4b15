// The start-up check of the data folder: a game started where its pictures are not would
// otherwise open a black window and say nothing.
#include "game/data_check.h"

#include <cstdio>

#include "platform/files/paths.h"
#include "platform/win32/kernel/kernel.h"
#include "platform/win32/window/win.h"

namespace {

bool Readable(const char* gamePath) {
  FILE* f = OpenFile(gamePath, "rb");
  if (!f) return false;
  std::fclose(f);
  return true;
}

// Where the game looks for its pictures: the working folder, or the data folder the platform
// maps the game's names into when the game runs from an installed copy.
std::string DataFolder() {
  char current[4096];
  const std::string working = GetCurrentDirectoryA(sizeof current, current) ? current : ".";
  const std::string mapped = MapPath("background.bmp");
  const size_t slash = mapped.rfind('/');
  if (slash == std::string::npos) return working;
  const std::string folder = mapped.substr(0, slash);
  return folder.empty() || folder[0] == '/' ? (folder.empty() ? "/" : folder) : working + "/" + folder;
}

}  // namespace

const std::vector<const char*>& GamePictureFiles() {
  static const std::vector<const char*> files = {
      "background.bmp", "CloudAnimLeft.bmp", "CloudAnimRight.bmp", "newgame.bmp", "exit.bmp",
      "help.bmp", "menu.bmp", "red.bmp", "blue.bmp", "yellow.bmp", "purple.bmp", "green.bmp",
      "redstar.bmp", "bluestar.bmp", "yellowstar.bmp", "purplestar.bmp", "greenstar.bmp",
      "bigblue.bmp", "bigred.bmp", "biggreen.bmp", "bigpurple.bmp", "bigyellow.bmp", "pop.bmp",
      "x2.bmp", "x4.bmp", "x6.bmp", "scorefont.bmp", "timer.bmp", "lightning.bmp", "score.bmp",
      "airplane.bmp", "GameOverNMM.bmp", "GameOverOOT.bmp", "hallfamepop.bmp", "congrats1.bmp",
      "congrats2.bmp", "congrats3.bmp", "congrats4.bmp", "title\\HowToPlay.bmp", "halloffame.bmp",
      "hallmark.bmp", "smallfont.bmp", "cursor.bmp", "preview.bmp"};
  return files;
}

const std::vector<const char*>& FirstScreenPictures() {
  static const std::vector<const char*> files = {
      "background.bmp", "CloudAnimLeft.bmp", "CloudAnimRight.bmp", "newgame.bmp", "exit.bmp",
      "help.bmp", "menu.bmp", "red.bmp", "blue.bmp", "yellow.bmp", "purple.bmp", "green.bmp",
      "redstar.bmp", "bluestar.bmp", "yellowstar.bmp", "purplestar.bmp", "greenstar.bmp",
      "bigblue.bmp", "bigred.bmp", "biggreen.bmp", "bigpurple.bmp", "bigyellow.bmp", "pop.bmp",
      "x2.bmp", "x4.bmp", "x6.bmp", "scorefont.bmp", "timer.bmp", "cursor.bmp", "preview.bmp",
      "smallfont.bmp", "lightning.bmp", "soundoff.bmp", "score.bmp", "airplane.bmp"};
  return files;
}

std::vector<std::string> MissingGamePictures() {
  std::vector<std::string> missing;
  for (const char* file : GamePictureFiles())
    if (!Readable(file)) missing.push_back(file);
  return missing;
}

std::string NoDataMessage(const std::string& folder) {
  return "Zorbit cannot start: the folder " + folder +
         " holds none of the game's pictures (background.bmp, red.bmp, scorefont.bmp and " +
         std::to_string(GamePictureFiles().size() - 3) +
         " more are missing).\n"
         "Get the data by running ./run in the source folder (it builds the game with its data "
         "and starts it), by installing the zorbit package, or start the game on a folder that "
         "holds the data: zorbit --data build/game";
}

int CheckGameData() {
  const std::vector<std::string> missing = MissingGamePictures();
  if (missing.empty()) return 1;
  if (missing.size() < GamePictureFiles().size()) {
    std::string names;
    for (const std::string& name : missing) names += " " + name;
    std::fprintf(stderr, "zorbit: the data folder %s lacks%s (the game starts without them)\n",
                 DataFolder().c_str(), names.c_str());
    return 1;
  }
  MessageBox(nullptr, NoDataMessage(DataFolder()).c_str(), "Zorbit: no game data",
             MB_ICONERROR);
  return 0;
}
