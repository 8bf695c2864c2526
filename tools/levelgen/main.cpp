// Builds level files from level scripts through the game's own map code.
// Usage: kelvod_levelgen <script.lvl> <level.map> [...more pairs]
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "level/uLevelScript.h"
#include "level/uMap.h"

int main(int argc, char** argv) {
  if (argc < 3 || (argc - 1) % 2 != 0) {
    std::cerr << "usage: kelvod_levelgen <script.lvl> <level.map> [<script.lvl> <level.map> ...]\n";
    return 2;
  }
  TMap map(kCellSize);
  for (int i = 1; i + 1 < argc; i += 2) {
    std::ifstream in(argv[i]);
    if (!in) {
      std::cerr << argv[i] << ": cannot read the script\n";
      return 2;
    }
    std::stringstream text;
    text << in.rdbuf();
    std::string error;
    if (!BuildLevelFromScript(text.str(), &map, &error)) {
      std::cerr << argv[i] << ":" << error << "\n";
      return 2;
    }
    if (!map.SaveToFile(argv[i + 1], &error)) return 1;
  }
  return 0;
}
