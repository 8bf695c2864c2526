// How much physics work a level asks for, and the most a level may ask for.
// A level file over the budget is refused as it is read, the editor will not
// save or test-play a map over it, and a map over it is never started: a few
// kilobytes of hostile level could otherwise freeze the game for minutes or
// eat gigabytes (ropes of thousands of segments, thousands of bodies stacked
// on one point). The limits leave the biggest sensible level far inside.
#pragma once

#include <cstdint>
#include <string>

class TMap;

struct TLevelCost {
  int Objects = 0;
  int Ropes = 0;
  int RopeSegments = 0;  // bodies of all rope chains together
  // Pairs of bodies whose boxes overlap where they are placed: each is a
  // contact Box2D works on from the first step. Bodies stacked on one point
  // make them by the square of their number. Counted only while the counts
  // above fit.
  int Overlaps = 0;
  // The objects' drawn sizes added up, in square pixels: drawing a frame
  // without a GPU costs about that (a turned sprite several times over).
  int64_t DrawnArea = 0;
};

// Measured with tests/bench/worst_levels.py: every level within these runs
// 600 ticks, its heroes firing, drawing every frame without a GPU, in under
// 9 s (the 15 ms tick) on two cores. Rope segments are what costs most once
// they move: a level with 1000 of them draped over a body ran at a third of
// real time. The largest shipped level has 3 ropes of 33 segments in all and
// draws 45,000 square pixels.
struct TLevelBudget {
  static constexpr int kObjects = 400;       // a crate in every cell of the field is 360
  static constexpr int kRopes = 40;
  static constexpr int kRopeSegments = 400;  // a rope across the whole field is 46
  static constexpr int kOverlaps = 2000;
  static constexpr int64_t kDrawnArea = 600000;  // the field is 441,000
};

TLevelCost MeasureLevel(const TMap& map);
// What is over the budget, for a message ("612 objects (at most 400)"), or
// "" when the level fits.
std::string OverBudget(const TLevelCost& cost);
// The same for the player, in the game's language.
std::string OverBudgetText(const TLevelCost& cost);
