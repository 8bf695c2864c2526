// End to end through the real executable, headless.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <future>

#include "level/uMapFile.h"
#include "scenes/SceneTestSupport.h"
#include "support/TestSupport.h"

namespace {

class Headless : public ::testing::Test {
 protected:
  RunResult Run(std::vector<std::string> args, const std::string& replay = "") {
    std::vector<std::string> all = {"--headless", "--data", Data.Dir(), "--seed", "42"};
    if (!replay.empty()) {
      WriteText(Temp.File("in.replay"), replay);
      all.insert(all.end(), {"--replay", Temp.File("in.replay")});
    }
    all.insert(all.end(), args.begin(), args.end());
    return RunKelvod(all);
  }
  nlohmann::json DumpAt(int ticks, const std::string& replay = "") {
    RunResult r = Run({"--ticks", std::to_string(ticks), "--dump", Temp.File("d.json")}, replay);
    EXPECT_EQ(r.Status, 0) << r.Output;
    return ReadJson(Temp.File("d.json"));
  }
  TestData Data;
  TempDir Temp;
};

// "Редактор карт" is the third button, at (512, 388).
const char* kEditorClick = "1 move 512 388\n1 click left\n";

TEST_F(Headless, StartsInTheMainMenuWithoutAFade) {
  auto d = DumpAt(0);
  EXPECT_EQ(d["tick"], 0);
  EXPECT_EQ(d["seed"], 42);
  EXPECT_EQ(d["scene"], "menu");
  EXPECT_EQ(d["switching"], false);
  EXPECT_EQ(d["fade_alpha"], 0);
  EXPECT_EQ(d["menu"]["sub_form_visible"], false);
}

TEST_F(Headless, TheEditorButtonSwitchesScenesWithTheFade) {
  // Clicked in tick 1: the transition runs from tick 2, switches on its 52nd
  // tick (tick 53) and ends on its 104th (tick 105).
  auto at = [&](int ticks) { return DumpAt(ticks, kEditorClick); };
  auto d = at(1);
  EXPECT_EQ(d["switching"], true);
  EXPECT_EQ(d["fade_alpha"], 0);
  d = at(52);
  EXPECT_EQ(d["scene"], "menu");
  EXPECT_EQ(d["fade_alpha"], 255);
  EXPECT_EQ(d["first_half"], true);
  d = at(53);
  EXPECT_EQ(d["scene"], "editor");
  EXPECT_EQ(d["fade_alpha"], 255);
  EXPECT_EQ(d["first_half"], false);
  d = at(104);
  EXPECT_EQ(d["fade_alpha"], 0);
  EXPECT_EQ(d["switching"], true);
  d = at(105);
  EXPECT_EQ(d["switching"], false);
  EXPECT_EQ(d["scene"], "editor");
}

TEST_F(Headless, ExitEndsTheRunAndStillWritesTheOutputs) {
  RunResult r = Run({"--ticks", "500", "--dump", Temp.File("d.json"), "--screenshot",
                     Temp.File("s.png")},
                    "10 move 512 440\n10 click left\n");
  EXPECT_EQ(r.Status, 0) << r.Output;
  auto d = ReadJson(Temp.File("d.json"));
  EXPECT_EQ(d["tick"], 10);
  zglTextureInfo picture;
  ASSERT_TRUE(eng_TextureInfo(tex_LoadFromFile(Temp.File("s.png")), &picture));
  EXPECT_EQ(picture.Width, 1024);
  EXPECT_EQ(picture.Height, 768);
  eng_Reset();
}

TEST_F(Headless, RenderingEveryFrameChangesNothingInTheGame) {
  std::string replay = std::string(kEditorClick) + "120 move 300 200\n";
  RunResult plain = Run({"--ticks", "130", "--dump", Temp.File("a.json")}, replay);
  RunResult drawn = Run({"--render", "--ticks", "130", "--dump", Temp.File("b.json")}, replay);
  ASSERT_EQ(plain.Status, 0) << plain.Output;
  ASSERT_EQ(drawn.Status, 0) << drawn.Output;
  EXPECT_EQ(ReadText(Temp.File("a.json")), ReadText(Temp.File("b.json")));
}

TEST_F(Headless, SameInputsGiveTheSameDump) {
  std::string replay = std::string(kEditorClick) + "30 move 100 100\n";
  RunResult a = Run({"--ticks", "80", "--dump", Temp.File("a.json")}, replay);
  RunResult b = Run({"--ticks", "80", "--dump", Temp.File("b.json")}, replay);
  ASSERT_EQ(a.Status, 0);
  ASSERT_EQ(b.Status, 0);
  EXPECT_EQ(ReadText(Temp.File("a.json")), ReadText(Temp.File("b.json")));
}

TEST_F(Headless, BadCommandLinesAndReplaysExitWithStatusTwo) {
  RunResult r = Run({"--ticks", "many"});
  EXPECT_EQ(r.Status, 2);
  EXPECT_NE(r.Output.find("--ticks"), std::string::npos) << r.Output;
  r = Run({"--bogus"});
  EXPECT_EQ(r.Status, 2);
  r = Run({"--ticks", "5"}, "1 click left\n2 wiggle\n");
  EXPECT_EQ(r.Status, 2);
  EXPECT_NE(r.Output.find("in.replay:2:"), std::string::npos) << r.Output;
  r = Run({"--replay", Temp.File("missing.replay")});
  EXPECT_EQ(r.Status, 2);
  r = RunKelvod({"--headless", "--data", Temp.File("no-such-folder")});
  EXPECT_EQ(r.Status, 2);
  // Options that parse but name nothing there is.
  WriteText(Data.Level("1001.map"), "");  // one level: index 0 only
  const std::pair<std::vector<std::string>, std::string> refused[] = {
      {{"--level", "1"}, "--level"},      {{"--level", "-1"}, "--level"},
      {{"--replay", Temp.Path().string()}, "is a folder"}, {{"--data", ""}, "--data"},
      {{"--dump", ""}, "--dump"}};
  for (const auto& [args, named] : refused) {
    r = Run(args);
    EXPECT_EQ(r.Status, 2) << args[0] << " " << args[1];
    EXPECT_NE(r.Output.find(named), std::string::npos) << r.Output;
  }
}

TEST_F(Headless, AnOutputThatCannotBeWrittenFailsWithStatusOne) {
  for (const char* option : {"--dump", "--screenshot", "--sound-log"}) {
    for (const std::string& target : {Temp.Path().string(), std::string("/dev/full")}) {
      // A click on "Новая игра" plays a sound, so the sound log has a line to write.
      RunResult r = Run({"--ticks", "2", option, target}, "1 move 512 284\n1 click left\n");
      EXPECT_EQ(r.Status, 1) << option << " " << target;
      EXPECT_NE(r.Output.find("cannot write"), std::string::npos) << r.Output;
    }
  }
}

// Without the atlas the buttons are invisible, without the font their
// captions: the game names the file and the folder, and does not start.
TEST_F(Headless, WithoutTheAtlasOrTheFontTheGameSaysWhichAndWhereAndFails) {
  const std::pair<std::string, std::string> cases[] = {
      {"panel_r.png", "panel_r.png"}, {"font_1.zfi", "font_1.zfi"}, {"", "nowhere.ttf"}};
  for (const auto& [missing, named] : cases) {
    TestData data;
    if (missing.empty())
      WriteText(data.Dir() + "/font_1.zfi", "file=nowhere.ttf\nsize=14\n");
    else
      std::filesystem::remove(data.Dir() + "/" + missing);
    RunResult r = RunKelvod({"--headless", "--data", data.Dir(), "--ticks", "3"});
    EXPECT_EQ(r.Status, 1) << r.Output;
    EXPECT_NE(r.Output.find(named), std::string::npos) << r.Output;
    EXPECT_NE(r.Output.find(data.Dir()), std::string::npos) << r.Output;
  }
}

// A level named in an old 8-bit code page is shown and dumped with the bad
// bytes replaced, and still opened by its real name.
TEST_F(Headless, ALevelNameThatIsNotUtf8IsShownReplacedAndOpenedByItsName) {
  WriteLevel(Data.Level("1\xcf\xf0\xe8\xec\xe5\xf0.map"), {{TTestObject::BLOCK, 100, 300}});
  RunResult r = Run({"--ticks", "1", "--level", "0", "--dump", Temp.File("d.json")});
  ASSERT_EQ(r.Status, 0) << r.Output;
  auto d = ReadJson(Temp.File("d.json"));
  const std::string bad = "\xef\xbf\xbd";  // U+FFFD
  EXPECT_EQ(d["level_menu"]["levels"][0]["file_name"], "1" + bad + bad + bad + bad + bad + bad + ".map");
  EXPECT_EQ(d["level_menu"]["levels"][0]["caption"], bad + bad + bad + bad + bad + bad);
  EXPECT_EQ(d["game"]["map"]["objects"].size(), 1u);
}

// A first level that would freeze the start-up for seconds (a 2 KB file of
// twenty ropes of 1,415 segments each) is refused by name at once.
TEST_F(Headless, AFirstLevelThatAsksTooMuchIsRefusedAndTheMenuAppears) {
  TMapRecord anchor, rope;
  anchor.ShapeW = anchor.ShapeH = anchor.Width = anchor.Height = 26;
  anchor.SpriteKind = 2, anchor.ShapeTag = "RECT", anchor.KindTag = "MAPOBJ";
  rope.SpriteKind = 7, rope.KindTag = rope.ShapeTag = "ROPE", rope.RopeB = 1;
  rope.OffsetAX = rope.OffsetAY = 10000, rope.OffsetBX = rope.OffsetBY = -10000;
  std::string bytes;
  for (int i = 0; i < 22; ++i)
    for (uint8_t b : EncodeMapRecord(i < 2 ? anchor : rope)) bytes += static_cast<char>(b);
  WriteText(Data.Level("1001.map"), bytes);
  RunResult r = Run({"--ticks", "1", "--dump", Temp.File("d.json")});
  ASSERT_EQ(r.Status, 0) << r.Output;
  EXPECT_NE(r.Output.find("1001.map"), std::string::npos) << r.Output;
  EXPECT_NE(r.Output.find("28300 rope segments"), std::string::npos) << r.Output;
  auto d = ReadJson(Temp.File("d.json"));
  EXPECT_EQ(d["scene"], "menu");
  EXPECT_TRUE(d["game"]["map"]["objects"].empty());
}

TEST(Window, WithoutADisplayTheProgramSaysSoAndFails) {
  TestData data;
  std::string cmd = std::string("env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER '") + KELVOD_EXE +
                    "' --data '" + data.Dir() + "' 2>&1";
  FILE* pipe = popen(cmd.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::string output;
  char buffer[512];
  while (size_t n = fread(buffer, 1, sizeof buffer, pipe)) output.append(buffer, n);
  int status = pclose(pipe);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 1);
  EXPECT_NE(output.find("cannot open a window"), std::string::npos) << output;
}

TEST_F(Headless, HelpListsEveryOption) {
  RunResult r = RunKelvod({"--help"});
  EXPECT_EQ(r.Status, 0);
  for (const char* option : {"--data", "--headless", "--render", "--ticks", "--replay", "--record",
                             "--screenshot", "--dump", "--seed", "--level", "--state", "--version",
                             "--help"})
    EXPECT_NE(r.Output.find(option), std::string::npos) << option;
}

TEST_F(Headless, TheMuteKeyIsRememberedInTheStateFolder) {
  const std::string state = Temp.File("state");
  RunResult r = Run({"--state", state, "--ticks", "3"}, "1 key m down\n2 key m up\n");
  ASSERT_EQ(r.Status, 0) << r.Output;
  EXPECT_EQ(ReadJson(Temp.File("state/settings.json"))["sound_muted"], true);
  r = Run({"--state", state, "--dump", Temp.File("d.json")});
  ASSERT_EQ(r.Status, 0) << r.Output;
  EXPECT_EQ(ReadJson(Temp.File("d.json"))["muted"], true) << "the next run starts muted";
}

// The gear opens the settings panel; its third volume step and its full
// screen box are kept, and Escape closes the panel.
TEST_F(Headless, TheSettingsPanelKeepsTheVolumeAndFullScreen) {
  const std::string state = Temp.File("state");
  const std::string replay = "1 move 980 44\n2 click left\n30 move 530 335\n32 click left\n"
                             "34 move 572 394\n35 click left\n";
  ASSERT_EQ(Run({"--state", state, "--ticks", "40", "--dump", Temp.File("d.json")}, replay).Status, 0);
  nlohmann::json d = ReadJson(Temp.File("d.json"));
  EXPECT_EQ(d["volume"], 30);
  EXPECT_EQ(d["menu"]["settings_visible"], true);
  nlohmann::json settings = ReadJson(Temp.File("state/settings.json"));
  EXPECT_EQ(settings["volume"], 30);
  EXPECT_EQ(settings["fullscreen"], true);
  RunResult r = Run({"--state", state, "--ticks", "31", "--dump", Temp.File("d.json")},
                    "1 move 980 44\n2 click left\n31 key escape down\n");
  ASSERT_EQ(r.Status, 0) << r.Output;
  d = ReadJson(Temp.File("d.json"));
  EXPECT_EQ(d["volume"], 30) << "the next run starts at that volume";
  EXPECT_EQ(d["menu"]["settings_visible"], false);
}

TEST_F(Headless, VersionPrintsTheProjectVersion) {
  RunResult r = RunKelvod({"--version"});
  EXPECT_EQ(r.Status, 0);
  EXPECT_EQ(r.Output, "kelvod " KELVOD_VERSION "\n");
}

TEST_F(Headless, WinsAreKeptInTheStateFolderNamedAndNowhereElse) {
  WriteText(Data.Level("1001.map"), "");  // an empty level: no battery, won at once
  WriteText(Data.Level("1002.map"), "");
  TempDir home;
  const std::vector<std::string> env = {"HOME=" + home.Path().string()};
  RunResult r = RunKelvod({"--headless", "--data", Data.Dir(), "--level", "0", "--ticks", "2"}, env);
  ASSERT_EQ(r.Status, 0) << r.Output;
  EXPECT_TRUE(std::filesystem::is_empty(home.Path())) << "with --data alone progress stays in memory";

  const std::string state = Temp.File("state");
  r = RunKelvod({"--headless", "--data", Data.Dir(), "--state", state, "--level", "0", "--ticks", "2"}, env);
  ASSERT_EQ(r.Status, 0) << r.Output;
  r = RunKelvod({"--headless", "--data", Data.Dir(), "--state", state, "--dump", Temp.File("d.json")}, env);
  ASSERT_EQ(r.Status, 0) << r.Output;
  auto levels = ReadJson(Temp.File("d.json"))["level_menu"]["levels"];
  EXPECT_EQ(levels[0]["won"], true);
  EXPECT_EQ(levels[1]["won"], false);
  EXPECT_TRUE(std::filesystem::is_empty(home.Path()));

  r = RunKelvod({"--headless", "--data", Data.Dir(), "--state", Data.Level("1001.map")});
  EXPECT_EQ(r.Status, 2) << "a state folder that is a file is a bad command line";
}

// Two copies of the game on one state folder, both started before either
// wins: each idles in the menu (long enough for the other to have started;
// the outcome does not depend on it), then opens the chooser ("Загрузить")
// and wins a level of its own. Neither win is lost.
TEST_F(Headless, TwoCopiesOfTheGameKeepEachOthersWins) {
  for (const char* name : {"1001.map", "1002.map", "1003.map"}) WriteText(Data.Level(name), "");
  const std::string state = Temp.File("state");
  const auto play = [&](int level) {
    const std::string replay = Temp.File("win" + std::to_string(level) + ".replay");
    const int x = 344 + 84 * level;
    WriteText(replay, "300000 move 512 336\n300000 click left\n300030 move " + std::to_string(x) +
                          " 256\n300030 click left\n");
    return RunKelvod({"--headless", "--data", Data.Dir(), "--state", state, "--replay", replay, "--ticks", "300200"});
  };
  auto first = std::async(std::launch::async, play, 0);
  RunResult second = play(2);
  ASSERT_EQ(first.get().Status, 0);
  ASSERT_EQ(second.Status, 0) << second.Output;
  RunResult r = RunKelvod({"--headless", "--data", Data.Dir(), "--state", state, "--dump", Temp.File("d.json")});
  ASSERT_EQ(r.Status, 0) << r.Output;
  auto levels = ReadJson(Temp.File("d.json"))["level_menu"]["levels"];
  EXPECT_EQ(levels[0]["won"], true);
  EXPECT_EQ(levels[1]["won"], false);
  EXPECT_EQ(levels[2]["won"], true);
}

}  // namespace
