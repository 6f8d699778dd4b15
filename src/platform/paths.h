// Paths as the game writes them (".\setup.ini", "sounds\pop1.wav", "..\options.ini")
// mapped to the host: backslashes become slashes, and when the exact name does not exist
// a component that differs only in letter case is accepted.
#pragma once

#include <cstdio>
#include <string>

std::string MapPath(const char* gamePath);
FILE* OpenFile(const char* gamePath, const char* mode);
