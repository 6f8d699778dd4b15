// Paths as the game writes them (".\setup.ini", "sounds\pop1.wav", "..\options.ini")
// mapped to the host: backslashes become slashes, and when the exact name does not exist
// a component that differs only in letter case is accepted.
//
// By default a relative game path is taken from the working folder, which then holds both
// the data and the player's files (--data DIR). An installed game keeps them apart: its data
// is read-only and shared, the player's files are the player's own. With SetFileFolders a
// relative path is read from the player's folder when the file is there, else from the data
// folder, and every write goes to the player's folder. A path that climbs out of the folder
// ("..\options.ini") is the player's alone: nothing above the data folder is ours.
#pragma once

#include <cstdio>
#include <string>

void SetFileFolders(const std::string& playerFolder, const std::string& dataFolder);
void ClearFileFolders();  // back to the working folder for both
// The folder the shipped data is read from: the data folder, or the working folder.
std::string DataFolderForReading();

// The host path to read a game path from.
std::string MapPath(const char* gamePath);
// The host path to write a game path to; the folders on the way are made, so the player's
// folder appears only when something is first written into it.
std::string MapPathForWrite(const char* gamePath);
// Makes the folders on the way to where gamePath is written, as MapPathForWrite does, but
// says how that went: 0, or the errno of the failure, with the folder that was to be made in
// *folder. A save that fails after this would only say the file was not found.
int MakeFoldersForWrite(const char* gamePath, std::string* folder);
// Whether gamePath maps into a replay's private folder rather than the player's.
bool InReplaySandbox(const char* gamePath);
// fopen on the mapped path: for reading with "r"/"rb", for writing with any other mode.
FILE* OpenFile(const char* gamePath, const char* mode);
