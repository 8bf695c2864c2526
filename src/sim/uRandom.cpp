#include "sim/uRandom.h"

#include <random>

namespace {
std::mt19937 Generator(0);
uint32_t SeedUsed = 0;
}  // namespace

int Random(int n) {
  if (n <= 0) return 0;
  return static_cast<int>((static_cast<uint64_t>(Generator()) * static_cast<uint64_t>(n)) >> 32);
}

void RandomSeed(uint32_t seed) {
  SeedUsed = seed;
  Generator.seed(seed);
}

uint32_t RandomSeedUsed() { return SeedUsed; }
