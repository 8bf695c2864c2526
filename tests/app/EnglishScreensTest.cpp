// Every screen in English (menu, chooser, level, forms, editor, tooltips, file menu, message,
// question) draws no Cyrillic letter; a headless run stays Russian unless --lang says so.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/uGlobals.h"
#include "editor/uEditor.h"
#include "scenes/uGame.h"
#include "scenes/uLevelLost.h"
#include "scenes/uLevelMenu.h"
#include "support/TestSupport.h"
#include "ui/uLang.h"
#include "ui/uScene.h"

namespace {

class EnglishScreens : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    SetCatalogueDirs({std::string(KELVOD_BINARY_DIR) + "/locale"});
    SetLanguage("en");
    Data = std::make_unique<TestData>();
    for (const char* name : {"1001.map", "1001.hint", "1001.en.hint", "1002.map"})
      std::filesystem::copy_file(std::string(KELVOD_SOURCE_DIR) + "/data/level/" + name, Data->Level(name));
    WriteText(Data->Level("1003.map"), "not a level");
    StartGame(Data->Dir());
  }
  void TearDown() override { SetLanguage(kBaseLanguage), GameTest::TearDown(); }
  void Look(const std::string& where, int ticks = 1) {
    Tick(ticks);
    for (const zglDrawCall& c : DrawFrame())  // lead bytes of U+0400..U+04FF
      EXPECT_TRUE(c.kind != zglDrawCall::TEXT || c.text.find_first_of("\xD0\xD1\xD2\xD3") == std::string::npos)
          << where << ": \"" << c.text << "\"";
  }
  void LookAtTooltips(const TMeForm& form) {
    for (const auto& o : form.Objects) {
      MoveTo(form.X + o->X, form.Y + o->Y);
      if (o->Visible) Look("tooltip " + o->Tooltip, 40);
    }
  }
};

TEST_F(EnglishScreens, ShowNoRussianText) {
  Look("main menu");
  ClickAt(512, 336);
  Look("level chooser", 25);
  GameScene->Start(0);
  GameScene->Activate();
  ASSERT_TRUE(GameScene->HintShown());
  Look("level with its hint");
  for (int next : {1, 3}) {  // "Next", then after the last level "Main menu"
    GameScene->WinForm->Show(next);
    Look("win form", 30);
  }
  GameScene->WinForm->Visible = false;
  for (const char* reason : {kLostBatteryExploded, kLostBatteryFell, kLostHeroFell}) {
    GameScene->LostForm->Show(reason);
    Look(reason, 30);
  }
  EditorScene->Activate();
  LookAtTooltips(*EditorScene->ToolForm);
  LookAtTooltips(*EditorScene->PlayPanel);
  for (auto [x, y] : {std::pair{50, 180}, {354, 174}, {50, 100}, {354, 174}}) ClickAt(x, y);  // a block, selected
  LookAtTooltips(*EditorScene->PropPanel);
  ClickAt(90, 32);
  Look("file menu", 25);
  LevelMenu->Show(EditorScene->Doc.Map.get(), false, false);
  EditorScene->LevelChosen(*LevelMenu, 2);  // damaged: a message says so
  Look("message");
  EditorScene->AskToSave([] {});
  Look("question", 25);
}

TEST(Languages, HeadlessIsRussianUnlessAsked) {
  TempDir dir;
  for (std::string lang : {"", "en", "ru"}) {
    std::vector<std::string> args{"--headless", "--dump", dir.File("d.json")};
    if (!lang.empty()) args.insert(args.end(), {"--lang", lang});
    ASSERT_EQ(RunKelvod(args, {"LANG=en_US.UTF-8", "LANGUAGE=en"}).Status, 0);
    const nlohmann::json dump = ReadJson(dir.File("d.json"));
    EXPECT_EQ(dump["lang"], lang.empty() ? "ru" : lang);
    EXPECT_EQ(dump["game"]["next_caption"], lang == "en" ? "Next" : "Далее");
  }
  EXPECT_EQ(RunKelvod({"--headless", "--lang", "e n"}).Status, 2);
}

}  // namespace
