// Shared by the data checks: where the generated data is, and skipping when it was not made.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

inline std::string DataDir() { return std::string(ZORBIT_BINARY_DIR) + "/game"; }

inline bool DataWasGenerated()
{
#ifdef ZORBIT_DATA_GENERATED
    return std::filesystem::exists(DataDir() + "/background.bmp");
#else
    return false;
#endif
}

#define SKIP_WITHOUT_DATA() \
    if (!DataWasGenerated()) GTEST_SKIP() << "the game data was not generated in this build"
