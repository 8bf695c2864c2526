// The program's random generator (the sparkle of the batteries' particles).
// Seeded once at start-up, so a run with the same seed and input repeats
// tick for tick.
#pragma once

#include <cstdint>

// A uniform integer from 0 to n - 1 (0 when n <= 0).
int Random(int n);
void RandomSeed(uint32_t seed);
uint32_t RandomSeedUsed();
