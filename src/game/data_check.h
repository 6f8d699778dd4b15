// Whether the working folder holds the game's data, checked before any window opens.
#pragma once

#include <string>
#include <vector>

// Every picture the game loads, as the game names them.
const std::vector<const char*>& GamePictureFiles();
// The pictures the first screen shows, in the order the game asks for them (those of the
// hall of fame, the congratulations and the game's end come later).
const std::vector<const char*>& FirstScreenPictures();
// The pictures of GamePictureFiles the working folder lacks.
std::vector<std::string> MissingGamePictures();
// The message for a folder that holds none of them: the folder, what is missing and how
// to get the data.
std::string NoDataMessage(const std::string& folder);
// 1 when the game can start. A folder without any of the game's pictures is said so in a
// message box (one line on standard error when headless) and gives 0; a folder missing only
// some still starts, as the loaders allow, with the missing names on standard error.
int CheckGameData();
