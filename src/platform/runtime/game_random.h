// The game's own random numbers: the board's colours and the pop sounds.
//
// The C library's rand() is one generator shared by the whole process, and libraries draw
// from it too (the sound server's client library does while the audio device opens on its
// own thread), so a run's board could depend on how start-up raced. It also differs between
// C libraries, so a seed would give another board elsewhere. This generator belongs to the
// game alone and gives exactly the sequence glibc's srand()/rand() give for the same seed,
// so every seed and every recorded replay keeps its board.
#pragma once

#include <cstdint>

constexpr int32_t kGameRandomMax = 0x7fffffff;

void SeedGameRandom(uint32_t seed);
// The next number, 0 to kGameRandomMax.
int32_t GameRandom();
