// Paths as the game writes them (".\setup.ini", "sounds\pop1.wav", "..\options.ini")
// mapped to the host: backslashes become slashes, and when the exact name does not exist
// a component that differs only in letter case is accepted.
#pragma once

#include <cstdio>
#include <string>

std::string MapPath(const char* gamePath);
FILE* OpenFile(const char* gamePath, const char* mode);
// Puts the complete file tempPath in place of finalPath (both game paths) so that a crash
// at any moment leaves either the old or the new file: the data is synced to disk, then
// renamed over the old one. Nonzero on success; on failure finalPath is untouched.
int ReplaceFileAtomically(const char* tempPath, const char* finalPath);
