// The game's generator gives the C library's sequence for every seed, so boards and
// replays recorded with rand() stay as they were.
#include "platform/runtime/game_random.h"

#include <gtest/gtest.h>

#include <cstdlib>

TEST(GameRandom, GivesTheSequenceOfTheCLibrary) {
#ifdef __GLIBC__
  for (unsigned seed : {0u, 1u, 2u, 5u, 12345u, 0x7fffffffu, 0x80000000u, 0xdeadbeefu, 0xffffffffu}) {
    std::srand(seed);
    SeedGameRandom(seed);
    for (int i = 0; i < 2000; ++i) {
      const int expected = std::rand();
      ASSERT_EQ(GameRandom(), expected) << "seed " << seed << ", draw " << i;
    }
  }
#else
  GTEST_SKIP() << "the reference sequence is glibc's";
#endif
}

TEST(GameRandom, IsNotMovedByOthersDrawingFromTheCLibrary) {
  SeedGameRandom(7);
  const int32_t first = GameRandom();
  SeedGameRandom(7);
  for (int i = 0; i < 12; ++i) (void)std::rand();  // as the sound server's client does
  EXPECT_EQ(GameRandom(), first);
}
