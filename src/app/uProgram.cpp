#include "app/uProgram.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>

#include "app/uCommandLine.h"
#include "app/uDump.h"
#include "app/uFolders.h"
#include "app/uGlobals.h"
#include "app/uReplay.h"
#include "engine/engine.h"
#include "level/uShareCode.h"
#include "scenes/uGame.h"
#include "scenes/uLevelMenu.h"
#include "scenes/uPlayerState.h"
#include "scenes/uSettings.h"
#include "ui/uDialog.h"
#include "ui/uLang.h"
#include "ui/uScene.h"
#include "ui/uSounds.h"

namespace fs = std::filesystem;

namespace {

std::optional<int32_t> StartLevel;  // --level: start the game scene instead of the menu
std::optional<TSharedLevel> Opened;  // --open: play this level instead of showing the menu
std::string OpenProblem;             // --open in a window: why it failed, told in the game

bool EndsWithMap(std::string name) {
  for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return name.size() > 4 && name.compare(name.size() - 4, 4, ".map") == 0;
}

// --open: a level file, or a share code or a link holding one.
bool ReadOpenOption(const std::string& what, TSharedLevel* level, TShareError* error) {
  std::error_code ec;
  if (fs::is_regular_file(what, ec) || EndsWithMap(what)) {
    if (ReadLevelToShare(what, level, &error->Text)) return true;
    error->PlayerText = TrF("Не удалось открыть уровень: %s", {fs::path(what).filename().string()});
    return false;
  }
  return ReadShareCode(what, level, error);
}

// --share N: prints the share code of a proven level. The exit status.
int ShareLevel(int32_t index) {
  const std::vector<TLevel> list = LevelList();
  if (static_cast<size_t>(index) >= list.size()) {
    std::cerr << "kelvod: option --share: there is no level " << index << "; there are " << list.size()
              << " levels\n";
    return 2;
  }
  const TLevel& level = list[static_cast<size_t>(index)];
  if (!LevelProven(level.Path(), !level.Own)) {
    std::cerr << "kelvod: level " << index << " (" << level.Path()
              << ") is not proven: win it in the editor's test play first, which saves its solution beside it\n";
    return 1;
  }
  TSharedLevel shared;
  std::string error;
  if (!ReadLevelToShare(level.Path(), &shared, &error)) return 1;
  std::cout << MakeShareCode(shared) << "\n";
  return 0;
}
fs::path StateFolder;               // progress and settings; empty: in memory only

// --level must name a level of the list the game plays.
bool CheckLevelOption(const TOptions& o) {
  if (!o.Level) return true;
  const size_t count = LevelList().size();
  if (static_cast<size_t>(*o.Level) < count) return true;
  std::cerr << "kelvod: option --level: there is no level " << *o.Level << "; there are " << count
            << (count == 0 ? " levels\n" : " levels, 0 to " + std::to_string(count - 1) + "\n");
  return false;
}

// Without the atlas the buttons are invisible, without the font their
// captions: nobody could use the game. Says so (before a window opens).
bool ResourcesUsable(const TOptions& o) {
  std::string problem;
  if (CheckResources(&problem)) return true;
  std::error_code ec;
  const std::string looked = fs::absolute(DataDir(), ec).lexically_normal().string();
  wnd_SetCaption("kelvod 2017");
  eng_ShowError("cannot start: " + problem + " (looked in the data folder \"" + looked + "\"" +
                    (o.DataDir.empty() ? ", found beside the program, where it is installed or in "
                                         "the working directory"
                                       : " given with --data") +
                    "; name the game's data folder with --data DIR)",
                Tr("Игра не может запуститься: не удаётся загрузить файл из папки данных."));
  return false;
}

uint32_t ClockSeed() {
  auto now = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

// --sound-log: every sound started, as "<tick> <name>" lines, written at the end.
std::string SoundLogText;

bool WriteSoundLog(const std::string& path, std::string* error) {
  std::ofstream out(path, std::ios::out | std::ios::trunc);
  if (out) out << SoundLogText << std::flush;
  out.close();
  if (!out) *error = path + ": cannot write the sound log";
  return static_cast<bool>(out);
}

// What a run keeps from its start to its end.
struct TRun {
  TOptions Options;
  std::unique_ptr<TReplayPlayer> Player;
  TReplayRecorder Recorder;
};
std::unique_ptr<TRun> Run;

bool WriteOutputs(const TOptions& o) {
  bool ok = true;
  std::string error;
  if (!o.SoundLog.empty() && !WriteSoundLog(o.SoundLog, &error)) {
    std::cerr << "kelvod: " << error << "\n";
    ok = false;
  }
  if (!o.Screenshot.empty() &&
      !eng_SaveScreenshot(o.Screenshot, kScreenWidth, kScreenHeight, &error)) {
    std::cerr << "kelvod: " << error << "\n";
    ok = false;
  }
  if (!o.Dump.empty() && !WriteDump(o.Dump, &error)) {
    std::cerr << "kelvod: " << error << "\n";
    ok = false;
  }
  return ok;
}

// The end of a run, after the last frame: the recording closed, the outputs
// written, everything freed. Returns the exit status.
int FinishRun(bool ran) {
  eng_SetTickHook(nullptr);
  eng_SetInputObserver(nullptr);
  Run->Recorder.Close();
  int status = ran ? 0 : 1;
  if (ran && !WriteOutputs(Run->Options)) status = 1;
  FreeGlobals();
  Run.reset();
  return status;
}

}  // namespace

void OnLoad() {
  LoadResources();
  CreateScenes(StartLevel, StateFolder);
  if (Opened) {
    GameScene->SetShared(std::move(*Opened));
    GameScene->Start(TGame::kSharedLevel);
    GameScene->Activate();
    Opened.reset();
  } else if (!OpenProblem.empty()) {
    SceneManager->Dialog().Ask(OpenProblem, {{"OK", nullptr}}, 0, 0);
  }
}

void OnDraw() {
  if (SceneManager) SceneManager->Draw();
}

void OnTimer() {
  // The window's close button (or a replay's quit) asks the scenes first,
  // unless a question is already open. When the system ends the program
  // (a kill signal, the session ending) nobody may be there to answer: the
  // scenes keep their work and the program ends.
  if (eng_TakeCloseRequest() && SceneManager) {
    if (eng_CloseRequestedBySystem())
      SceneManager->EndNow();
    else if (!SceneManager->DialogOpen())
      SceneManager->Quit();
  }
  // F11 in every scene: full screen (the picture letterboxed) and back to a
  // window. M mutes and unmutes in every scene, except while the player types
  // text. Both are kept with the player's settings, as the settings panel's.
  if (key_Press(KeyF(11))) ChangeFullScreen(!FullScreenSetting());
  if (key_Press(KeyLetter('m')) && !eng_TextInputActive()) ChangeSoundMuted(!SoundMuted());
  if (SceneManager) SceneManager->Update();
  key_ClearState();
  mouse_ClearState();
}

void OnExit() {}

int KelvodMain(const std::vector<std::string>& args, const std::string& executablePath) {
  auto run = std::make_unique<TRun>();
  TOptions& o = run->Options;
  std::string error;
  if (!ParseCommandLine(args, &o, &error)) {
    std::cerr << "kelvod: " << error << "\n";
    return 2;
  }
  if (o.Help) {
    std::cout << UsageText();
    return 0;
  }
  if (o.Version) {
    std::cout << "kelvod " << KELVOD_VERSION << "\n";
    return 0;
  }
  TFolders folders;
  if (!ResolveFolders(o, executablePath, &folders, &error)) {
    std::cerr << "kelvod: " << error << "\n";
    return 2;
  }
  SetDataDir(folders.Data);
  SetCatalogueDirs(folders.Catalogues);
  // A headless run is a function of its inputs: Russian unless --lang says
  // otherwise. A window follows --lang, else the player's choice kept in the
  // settings (read with them), else the locale.
  LanguageFromPlayer = o.Lang.empty() && !o.Headless;
  SetLanguage(!o.Lang.empty() ? o.Lang
              : o.Headless    ? std::string(kBaseLanguage)
                              : LanguageFromLocale(Languages()));
  if (folders.PlayerLevels) SetPlayerLevelDir(*folders.PlayerLevels);
  StateFolder = folders.State;
  if (!CheckLevelOption(o)) return 2;
  if (o.Share) return ShareLevel(*o.Share);
  Opened.reset();
  OpenProblem.clear();
  if (!o.Open.empty()) {
    TSharedLevel level;
    TShareError problem;
    if (ReadOpenOption(o.Open, &level, &problem)) {
      Opened = std::move(level);
    } else {
      std::cerr << "kelvod: option --open: " << problem.Text << "\n";
      // A window starts anyway and says why; a headless run has nobody to tell.
      if (o.Headless) return 2;
      OpenProblem = problem.PlayerText;
    }
  }
  if (!o.Replay.empty()) {
    std::vector<TReplayEvent> events;
    if (!LoadReplay(o.Replay, &events, &error)) {
      std::cerr << "kelvod: " << error << "\n";
      return 2;
    }
    run->Player = std::make_unique<TReplayPlayer>(std::move(events));
  }
  eng_SetHeadless(o.Headless, o.Ticks);
  if (!ResourcesUsable(o)) return 1;
  if (o.Render && !o.Headless)
    std::cerr << "kelvod: --render draws a headless run offscreen; ignored in a window\n";
  if (!o.Record.empty() && o.Headless)
    std::cerr << "kelvod: --record writes what a player does in a window; ignored with --headless\n";
  if (!o.Record.empty() && !o.Headless) {
    if (!run->Recorder.Open(o.Record, &error)) {
      std::cerr << "kelvod: " << error << "\n";
      return 1;
    }
    eng_SetInputObserver([recorder = &run->Recorder](uint64_t tick, const zglInputEvent& e) {
      recorder->Record(tick, e);
    });
  }
  StartLevel = o.Level;
  SoundLogText.clear();
  if (!o.SoundLog.empty()) {
    eng_SetSoundObserver([](uint64_t tick, const std::string& name) {
      SoundLogText += std::to_string(tick) + " " + name + "\n";
    });
  }

  // Start-up, in the engine's order: seed, callbacks, timer, screen, caption, loop.
  RandomSeed(o.Seed ? *o.Seed : ClockSeed());
  zgl_Reg(SYS_LOAD, OnLoad);
  zgl_Reg(SYS_DRAW, OnDraw);
  zgl_Reg(SYS_EXIT, OnExit);
  timer_Add(OnTimer, 15);
  scr_SetOptions(kScreenWidth, kScreenHeight, true);
  wnd_ShowCursor(true);
  wnd_SetCaption("kelvod 2017");
  eng_SetHeadless(o.Headless, o.Ticks);
  eng_SetHeadlessRender(o.Headless && o.Render);
  eng_SetCloseHandled(true);
  if (TReplayPlayer* player = run->Player.get()) {
    eng_LockUserInput(true);
    eng_SetTickHook([player](uint64_t tick) {
      player->BeforeTick(tick);
      if (player->Finished()) eng_LockUserInput(false);
    });
  }
  Run = std::move(run);
  // A browser ends the run from its own loop; everywhere else zgl_Init returns.
  eng_SetFinish(FinishRun);
  return FinishRun(zgl_Init());
}
