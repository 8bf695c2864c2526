// Level files and a started game for the scene tests. Levels are written
// through the game's own writer into the test's temp data folder.
#pragma once

#include <string>
#include <vector>

#include "support/TestSupport.h"

struct TTestObject {
  enum Kind { BLOCK, PLANK, HERO, BATTERY } kind = BLOCK;
  int x = 0, y = 0;
  bool dynamic = false;
  bool interactive = false;
  int angle = 0;
};
using TTestLevel = std::vector<TTestObject>;

// Writes a level of the given objects to `path`; fails the test when it cannot.
void WriteLevel(const std::string& path, const TTestLevel& objects);
// Writes `count` levels 1001.map, 1002.map, ... into `levelDir`, level i with
// one static block at (100 + 10 i, 300) and no batteries (each is won at once).
void WriteSimpleLevels(const std::string& levelDir, int count);

// The whole game on the recording backend, over a data folder of its own.
class SceneTest : public GameTest {
 protected:
  // Writes `levels` as 1001.map, 1002.map, ... and starts the program.
  void StartWithLevels(const std::vector<TTestLevel>& levels);
  // Starts level `index` in the game scene and makes it current at once.
  void PlayLevel(int index);
  // A left click at a screen point handed straight to the level chooser, as
  // its owner scene would: a tick with the pointer there, then the click.
  void ClickChooser(int x, int y);
  std::string LevelDir() const { return Data->Dir() + "/level"; }
};
