#include "platform/runtime/game_random.h"

#include <mutex>

namespace {

// An additive lagged-Fibonacci generator of 31 words (taps 3 and 31), seeded through the
// minimal-standard linear congruence and run 310 draws in before the first is used.
constexpr int kWords = 31;
constexpr int kTap = 3;
constexpr int kWarmUp = 10 * kWords;

struct Generator {
  uint32_t state[kWords];
  int front = kTap;  // the newer tap
  int rear = 0;

  void Seed(uint32_t seed) {
    int32_t word = seed == 0 ? 1 : static_cast<int32_t>(seed);
    state[0] = static_cast<uint32_t>(word);
    for (int i = 1; i < kWords; ++i) {
      // 16807 * word mod (2^31 - 1), by Schrage's method so nothing overflows.
      const int32_t hi = word / 127773, lo = word % 127773;
      word = 16807 * lo - 2836 * hi;
      if (word < 0) word += 2147483647;
      state[i] = static_cast<uint32_t>(word);
    }
    front = kTap;
    rear = 0;
    for (int i = 0; i < kWarmUp; ++i) Next();
  }

  int32_t Next() {
    state[front] += state[rear];
    const int32_t result = static_cast<int32_t>(state[front] >> 1);
    front = (front + 1) % kWords;
    rear = (rear + 1) % kWords;
    return result;
  }
};

// Only the game's main thread draws today; the lock keeps a stray caller harmless.
std::mutex lock;
Generator generator = [] {
  Generator g;
  g.Seed(1);  // as the C library starts
  return g;
}();

}  // namespace

void SeedGameRandom(uint32_t seed) {
  std::lock_guard guard(lock);
  generator.Seed(seed);
}

int32_t GameRandom() {
  std::lock_guard guard(lock);
  return generator.Next();
}
