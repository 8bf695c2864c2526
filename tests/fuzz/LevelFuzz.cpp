// A libFuzzer target for the level loader: every input is a level file. It
// is loaded, drawn as the editor draws it, saved and loaded again (which must
// give the same level), then played for a few hundred ticks with every hero's
// laser on and hot, an object removed and the level restarted on the way.
// Every input is also read as a share code, and packed into one (split into a
// level, a hint and a solution) and read back: a code that is accepted must
// survive being made again. Any crash, sanitizer report, hang or failed check
// is a finding.
// Built by tools/fuzz.sh (clang, -DKELVOD_FUZZ=ON); not part of the tests.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <string_view>
#include <unistd.h>

#include "engine/engine.h"
#include "level/uGameForm.h"
#include "level/uMap.h"
#include "level/uMapFile.h"
#include "level/uShareCode.h"
#include "sim/uHero.h"
#include "sim/uRope.h"
#include "sim/uRandom.h"
#include "ui/uResources.h"

namespace {

std::string SavePath;

void Check(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "level fuzz: %s\n", what);
  std::abort();
}

std::string ReadAll(const std::string& path) {
  std::string bytes;
  if (FILE* f = std::fopen(path.c_str(), "rb")) {
    char buffer[4096];
    while (size_t n = std::fread(buffer, 1, sizeof buffer, f)) bytes.append(buffer, n);
    std::fclose(f);
  }
  return bytes;
}

void DrawEditor(TMap& map) {
  map.Draw();
  for (auto& o : map.Objects) o->DrawShape(map.OriginX, map.OriginY);
  for (auto& r : map.Ropes) r->DrawShape(map.OriginX, map.OriginY);
}

// Saving what was loaded and loading it again gives the same level, whose
// own save is byte for byte the first one.
void SaveAndReload(TMap& map) {
  std::string error;
  Check(map.SaveToFile(SavePath, &error) || map.Objects.empty(), "a loaded level cannot be saved");
  if (map.Objects.empty()) return;
  const std::string first = ReadAll(SavePath);
  TMap again(kCellSize);
  Check(again.LoadFromFile(SavePath), "a saved level is refused");
  DrawEditor(again);  // as the first was: drawing places the ropes' markers
  Check(again.Objects.size() == map.Objects.size() && again.Ropes.size() == map.Ropes.size(),
        "a saved level does not load back whole");
  Check(again.SaveToFile(SavePath) && ReadAll(SavePath) == first, "saving twice differs");
}

void Play(TMap& map, const uint8_t* data, size_t size) {
  if (!map.StartGame()) return;
  const int x = size > 0 ? data[0] * 3 : 300, y = size > 1 ? data[1] * 3 : 300;
  for (int tick = 1; tick <= 300; ++tick) {
    if (tick == 2) {
      for (auto& o : map.Objects)
        if (auto* hero = dynamic_cast<THero*>(o.get())) hero->Armed = true;
      eng_SetMouse(map.OriginX + x, map.OriginY + y);
      eng_SetButton(M_BLEFT, true);
    }
    if (tick % 60 == 0 && !map.GameForm->Objects.empty()) {  // a turn button
      const auto& b = map.GameForm->Objects[static_cast<size_t>(tick / 60) % map.GameForm->Objects.size()];
      eng_SetMouse(map.GameForm->X + b->X, map.GameForm->Y + b->Y);
      eng_SetButton(M_BLEFT, false);
      eng_SetButton(M_BLEFT, true);
    }
    if (tick == 100 && !map.Objects.empty()) map.Remove(map.Objects[size % map.Objects.size()].get());
    if (tick == 200) map.StartGame();
    map.Update();
    mouse_ClearState();
    map.Draw();
  }
  eng_SetButton(M_BLEFT, false);
  mouse_ClearState();
}

// A code made again from what was read reads back the same.
void CheckShareCode(std::string_view text) {
  TSharedLevel level, again;
  TShareError error;
  if (!ReadShareCode(text, &level, &error)) {
    Check(level.MapBytes.empty() && !error.Text.empty(), "a refused code left a level or no reason");
    return;
  }
  Check(ReadShareCode(MakeShareCode(level), &again, &error), "a code made again is refused");
  Check(again.MapBytes == level.MapBytes && again.Hint == level.Hint && again.Solution == level.Solution,
        "a code made again reads differently");
}

void FuzzShareCodes(std::string_view bytes) {
  CheckShareCode(bytes);
  const size_t cut1 = bytes.empty() ? 0 : static_cast<unsigned char>(bytes[0]) * 80 % (bytes.size() + 1);
  const size_t cut2 = cut1 + (bytes.size() > 1 ? static_cast<unsigned char>(bytes[1]) : 0) % (bytes.size() - cut1 + 1);
  const TSharedLevel split{std::string(bytes.substr(0, cut1)), std::string(bytes.substr(cut1, cut2 - cut1)),
                           std::string(bytes.substr(cut2))};
  CheckShareCode(MakeShareCode(split));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  std::cerr.rdbuf(nullptr);  // the loader's messages would only slow the fuzzing
  eng_Reset();
  static std::string dir = (std::filesystem::temp_directory_path() /
                            ("kelvod-fuzz-" + std::to_string(getpid())))
                               .string();
  std::filesystem::create_directories(dir);
  SavePath = dir + "/1001.map";
  SetDataDir(dir);
  LoadResources();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  RandomSeed(1);
  TMap map(kCellSize);
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const bool loaded = ReadMapBytes(bytes, "fuzz", &map);
  Check(loaded || (map.Objects.empty() && map.Ropes.empty()), "a refused level left something behind");
  DrawEditor(map);
  SaveAndReload(map);
  Play(map, data, size);
  FuzzShareCodes(bytes);
  return 0;
}
