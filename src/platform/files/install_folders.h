// Where the game finds its data when it is not told (--data): beside the program, read-only,
// with the player's own files in the player's data folder.
#pragma once

#include <string>

// The data folder that belongs to the running program: the installed one (the program's
// folder + ZORBIT_DATA_FROM_PROGRAM) or, in a build tree, "game" beside the program.
// Empty when neither is there.
std::string DataFolderBesideProgram();

// ${XDG_DATA_HOME:-~/.local/share}/zorbit/game, where the player's scores and settings live,
// with options.ini in the folder above. Empty when the user has no home to put it in.
std::string PlayerFolder();
