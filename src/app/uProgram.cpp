#include "app/uProgram.h"

#include <chrono>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>

#include "app/uCommandLine.h"
#include "app/uDump.h"
#include "app/uGlobals.h"
#include "app/uReplay.h"
#include "engine/engine.h"
#include "scenes/uLevelMenu.h"
#include "ui/uScene.h"

namespace fs = std::filesystem;

namespace {

std::optional<int32_t> StartLevel;  // --level: start the game scene instead of the menu

// The data folder beside the executable (or one level up, for build/kelvod
// in a source tree), else in the working directory. `looked` gets where it
// was looked for.
fs::path FindDataDir(const std::string& executablePath, std::string* looked) {
  std::error_code ec;
  fs::path exe = fs::canonical("/proc/self/exe", ec);
  if (ec) exe = fs::absolute(executablePath, ec);
  fs::path dir = exe.parent_path();
  const fs::path candidates[] = {dir / "data", dir.parent_path() / "data", fs::current_path(ec) / "data"};
  for (const fs::path& candidate : candidates) {
    if (fs::is_directory(candidate / "level", ec) || fs::is_regular_file(candidate / "panel_r.png", ec)) {
      *looked = "in the data folder \"" + candidate.string() + "\"";
      return candidate;
    }
  }
  *looked = "for a data folder in \"" + candidates[0].string() + "\", \"" + candidates[1].string() +
            "\" and \"" + candidates[2].string() + "\"";
  std::cerr << "kelvod: warning: no data folder found beside the program or in the working "
               "directory; using ./data (use --data DIR to name one)\n";
  return "data";
}

// --level must name a level of the list the game plays.
bool CheckLevelOption(const TOptions& o) {
  if (!o.Level) return true;
  const size_t count = LevelFileNames(LevelDir()).size();
  if (static_cast<size_t>(*o.Level) < count) return true;
  std::cerr << "kelvod: option --level: there is no level " << *o.Level << "; the level folder \""
            << LevelDir() << "\" has " << count << (count == 0 ? " levels\n" : " levels, 0 to ")
            << (count == 0 ? "" : std::to_string(count - 1) + "\n");
  return false;
}

uint32_t ClockSeed() {
  auto now = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

bool WriteOutputs(const TOptions& o) {
  bool ok = true;
  std::string error;
  if (!o.Screenshot.empty() && !eng_SaveScreenshot(o.Screenshot, 1024, 768, &error)) {
    std::cerr << "kelvod: " << error << "\n";
    ok = false;
  }
  if (!o.Dump.empty() && !WriteDump(o.Dump, &error)) {
    std::cerr << "kelvod: " << error << "\n";
    ok = false;
  }
  return ok;
}

}  // namespace

void OnLoad() {
  LoadResources();
  CreateScenes(StartLevel);
}

void OnDraw() {
  if (SceneManager) SceneManager->Draw();
}

void OnTimer() {
  if (SceneManager) SceneManager->Update();
  key_ClearState();
  mouse_ClearState();
}

void OnExit() {}

int KelvodMain(const std::vector<std::string>& args, const std::string& executablePath) {
  TOptions o;
  std::string error;
  if (!ParseCommandLine(args, &o, &error)) {
    std::cerr << "kelvod: " << error << "\n";
    return 2;
  }
  if (o.Help) {
    std::cout << UsageText();
    return 0;
  }
  std::string looked;  // where the data folder was looked for
  if (!o.DataDir.empty()) {
    std::error_code ec;
    if (!fs::is_directory(o.DataDir, ec)) {
      std::cerr << "kelvod: option --data: \"" << o.DataDir << "\" is not a folder\n";
      return 2;
    }
    SetDataDir(o.DataDir);
    looked = "in the data folder \"" + o.DataDir + "\" given with --data";
  } else {
    SetDataDir(FindDataDir(executablePath, &looked));
  }
  if (!CheckLevelOption(o)) return 2;
  std::unique_ptr<TReplayPlayer> player;
  if (!o.Replay.empty()) {
    std::vector<TReplayEvent> events;
    if (!LoadReplay(o.Replay, &events, &error)) {
      std::cerr << "kelvod: " << error << "\n";
      return 2;
    }
    player = std::make_unique<TReplayPlayer>(std::move(events));
  }
  eng_SetHeadless(o.Headless, o.Ticks);
  // Without the atlas the buttons are invisible, without the font their
  // captions: nobody could use the game. Say so before a window opens.
  if (std::string problem; !CheckResources(&problem)) {
    wnd_SetCaption("kelvod 2017");
    eng_ShowError("cannot start: " + problem + " (looked " + looked +
                      "; name the game's data folder with --data DIR)",
                  "Игра не может запуститься: не удаётся загрузить файл из папки данных.");
    return 1;
  }
  TReplayRecorder recorder;
  if (!o.Record.empty() && o.Headless)
    std::cerr << "kelvod: --record writes what a player does in a window; ignored with --headless\n";
  if (!o.Record.empty() && !o.Headless) {
    if (!recorder.Open(o.Record, &error)) {
      std::cerr << "kelvod: " << error << "\n";
      return 1;
    }
    eng_SetInputObserver([&recorder](uint64_t tick, const zglInputEvent& e) { recorder.Record(tick, e); });
  }
  StartLevel = o.Level;

  // Start-up, in the engine's order: seed, callbacks, timer, screen, caption, loop.
  RandomSeed(o.Seed ? *o.Seed : ClockSeed());
  zgl_Reg(SYS_LOAD, OnLoad);
  zgl_Reg(SYS_DRAW, OnDraw);
  zgl_Reg(SYS_EXIT, OnExit);
  timer_Add(OnTimer, 15);
  scr_SetOptions(1024, 768, 0, false, true);
  wnd_ShowCursor(true);
  wnd_SetCaption("kelvod 2017");
  if (player) {
    eng_LockUserInput(true);
    eng_SetTickHook([&player](uint64_t tick) {
      player->BeforeTick(tick);
      if (player->Finished()) eng_LockUserInput(false);
    });
  }
  bool ran = zgl_Init(0, 0);
  recorder.Close();
  int status = ran ? 0 : 1;
  if (ran && !WriteOutputs(o)) status = 1;
  FreeGlobals();
  return status;
}
