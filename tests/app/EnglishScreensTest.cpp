// The whole game in English, screen by screen: the main menu, the level
// chooser, a level with its hint, the win and failure forms, the editor with
// every tooltip, its file menu, a question and a message. No text drawn may
// hold a Cyrillic letter (a text the catalogue misses, or one drawn without
// going through it). And a headless run stays Russian unless --lang says so.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/uGlobals.h"
#include "editor/uEditor.h"
#include "scenes/uGame.h"
#include "scenes/uLevelLost.h"
#include "scenes/uLevelMenu.h"
#include "support/TestSupport.h"
#include "ui/uDialog.h"
#include "ui/uLang.h"
#include "ui/uScene.h"

namespace fs = std::filesystem;

namespace {

bool HasCyrillic(const std::string& text) {
  for (unsigned char c : text)
    if (c >= 0xD0 && c <= 0xD3) return true;  // lead bytes of U+0400..U+04FF
  return false;
}

class EnglishScreens : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    SetCatalogueDirs({std::string(KELVOD_BINARY_DIR) + "/locale"});
    SetLanguage("en");
    Data = std::make_unique<TestData>();
    const fs::path shipped = fs::path(KELVOD_SOURCE_DIR) / "data" / "level";
    for (const char* name : {"1001.map", "1001.hint", "1001.en.hint", "1002.map"})
      fs::copy_file(shipped / name, Data->Level(name));
    WriteText(Data->Level("1003.map"), "not a level");
    StartGame(Data->Dir());
  }
  void TearDown() override {
    SetLanguage(kBaseLanguage);
    GameTest::TearDown();
  }

  void Look(const std::string& where) {
    int texts = 0;
    for (const zglDrawCall& c : DrawFrame()) {
      if (c.kind != zglDrawCall::TEXT) continue;
      ++texts;
      EXPECT_FALSE(HasCyrillic(c.text)) << where << ": \"" << c.text << "\"";
    }
    EXPECT_GT(texts, 0) << where << " shows no text at all";
  }
  // Rests the pointer on each control of `form` until its tooltip shows.
  void LookAtTooltips(const TMeForm& form, const std::string& where) {
    for (const auto& o : form.Objects) {
      if (!o->Visible) continue;
      MoveTo(form.X + o->X, form.Y + o->Y);
      Tick(40);
      Look(where + " tooltip " + o->Tooltip);
    }
  }
  void Key(int key) {
    eng_SetKey(key, true);
    Tick();
    eng_SetKey(key, false);
    Tick();
  }
};

TEST_F(EnglishScreens, ShowNoRussianText) {
  Look("main menu");
  ClickAt(512, 336);  // the level chooser
  Tick(25);
  Look("level chooser");
  Key(K_ESCAPE);

  GameScene->Start(0);
  GameScene->Activate();
  Tick();
  ASSERT_TRUE(GameScene->HintShown());
  Look("level with its hint");
  for (int next : {1, 3}) {  // "Next", then after the last level "Main menu"
    GameScene->WinForm->Show(next);
    Tick(30);
    Look("win form");
  }
  GameScene->WinForm->Visible = false;
  for (const char* reason : {kLostBatteryExploded, kLostBatteryFell, kLostHeroFell}) {
    GameScene->LostForm->Show(reason);
    Tick(30);
    Look(std::string("failure form: ") + reason);
  }

  EditorScene->Activate();
  Tick();
  Look("editor");
  LookAtTooltips(*EditorScene->ToolForm, "editor");
  LookAtTooltips(*EditorScene->PlayPanel, "editor");
  ClickAt(50, 180);  // a block, placed and selected: the property panel shows
  ClickAt(214 + 140, 34 + 140);
  ClickAt(50, 100);  // the selection tool
  ClickAt(214 + 140, 34 + 140);
  Look("editor with a selection");
  LookAtTooltips(*EditorScene->PropPanel, "property panel");
  ClickAt(90, 32);  // the file menu
  Tick(25);
  Look("file menu");
  LevelMenu->Show(EditorScene->Map.get(), false, false);
  EditorScene->LevelChosen(*LevelMenu, 2);  // damaged: a message says so
  Tick();
  Look("message");
  EditorScene->AskToSave([] {});
  Tick(25);
  Look("question");
}

TEST(Languages, HeadlessIsRussianUnlessAsked) {
  TempDir dir;
  for (const char* lang : {"", "en", "ru"}) {
    std::vector<std::string> args{"--headless", "--dump", dir.File("d.json")};
    if (*lang) args.insert(args.end(), {"--lang", lang});
    ASSERT_EQ(RunKelvod(args, {"LANG=en_US.UTF-8", "LANGUAGE=en"}).Status, 0);
    const nlohmann::json dump = ReadJson(dir.File("d.json"));
    EXPECT_EQ(dump["lang"], *lang ? lang : "ru");
    EXPECT_EQ(dump["game"]["next_caption"], std::string(lang) == "en" ? "Next" : "Далее");
  }
  EXPECT_EQ(RunKelvod({"--headless", "--lang", "e n"}).Status, 2);
}

}  // namespace
