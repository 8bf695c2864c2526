// The editor never loses a designer's work: the questions before unsaved work
// goes, undo and redo, a failed open, the hint, the tooltips.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <nlohmann/json.hpp>

#include "editor/EditorSupport.h"
#include "level/uLevelHint.h"
#include "level/uMapFile.h"
#include "scenes/uLevelMenu.h"
#include "scenes/uMainMenu.h"

namespace {

namespace fs = std::filesystem;

constexpr int kNewY = 284, kSaveY = 336, kOpenY = 388, kBackY = 440;
constexpr int kHintFieldY = 384 + 254;

class EditorFileTest : public EditorTest {
 protected:
  std::string DataDir() override { return Levels.Dir(); }
  void MenuItem(int y) {
    ClickAndWait(90, 32);
    ClickAndWait(512, y);
  }
  // Clicks entry `i` (from 1) of the level chooser's first page.
  void Entry(int i) {
    const int row = (i - 1) / 5, col = i - 5 * row;
    ClickAndWait(512 + col * 84 - 252, 128 + row * 84 + 128);
  }
  std::string Bytes() const { return EncodeMap(*E->Doc.Map); }
  TestData Levels{false};
};

// Every way out of unsaved work asks; "Отмена" keeps everything as it was.
TEST_F(EditorFileTest, EveryWayOutAsksAboutUnsavedWorkAndCancelKeepsIt) {
  eng_SetCloseHandled(true);
  struct Way {
    const char* Name;
    std::function<void()> Go;
  };
  const Way ways[] = {
      {"Новый", [&] { MenuItem(kNewY); }},
      {"Открыть", [&] { MenuItem(kOpenY); }},
      {"В меню", [&] { MenuItem(kBackY); }},
      {"the window's close button", [&] {
         eng_RequestClose();
         Tick();
       }},
      {"Выход in the main menu", [&] {
         MenuScene->Activate();
         Tick(2);
         ClickAt(512, 440);
         Tick();
       }},
  };
  Place(2, 105, 105);
  for (const Way& way : ways) {
    way.Go();
    EXPECT_EQ(Question(), "Сохранить изменения?") << way.Name;
    Answer("Отмена");
    EXPECT_EQ(Objects(), 1u) << way.Name;
    EXPECT_FALSE(eng_ExitRequested()) << way.Name;
    EXPECT_FALSE(SceneManager->Switching) << way.Name;
    EXPECT_FALSE(LevelMenu->Visible) << way.Name;
    E->Activate();
    E->FileMenu->Visible = false;
    Tick(3);
  }
  // Nothing unsaved: nothing is asked.
  MenuItem(kNewY);
  Answer("Не сохранять");
  EXPECT_EQ(Objects(), 0u);
  for (const Way& way : ways) {
    way.Go();
    EXPECT_EQ(Question(), "") << way.Name;
    if (eng_ExitRequested()) break;  // the last two end the program
    E->Activate();
    SceneManager->Switching = false;
    LevelMenu->Visible = false;
    E->FileMenu->Visible = false;
    Tick(3);
  }
  EXPECT_TRUE(eng_ExitRequested());
}

// "Сохранить" in the question saves (through the chooser for a new level, to
// its own file for an opened one) and then does what was asked.
TEST_F(EditorFileTest, SavingFromTheQuestionSavesFirstAndThenGoesOn) {
  Place(2, 105, 105);
  const std::string placed = Bytes();
  MenuItem(kNewY);
  Answer("Сохранить");
  ASSERT_TRUE(LevelMenu->Visible) << "a new level is saved through the chooser";
  EXPECT_TRUE(LevelMenu->SaveMode);
  Entry(1);  // "+": 1001.map
  EXPECT_EQ(ReadText(Levels.Level("1001.map")), placed);
  EXPECT_EQ(Objects(), 0u) << "then the map is new";
  EXPECT_EQ(*E->MessageShown(), "Уровень 001 сохранён, но в нём нет батареи: он пройден сразу, это не головоломка");

  eng_SetCloseHandled(true);
  MenuItem(kOpenY);
  Entry(1);
  ASSERT_EQ(E->Doc.FileName, "1001.map");
  EXPECT_FALSE(E->Doc.Dirty());
  Place(11, 245, 245);
  eng_RequestClose();
  Tick();
  Answer("Сохранить");
  EXPECT_EQ(ReadText(Levels.Level("1001.map")), Bytes()) << "an opened level saves to its own file";
  EXPECT_TRUE(eng_ExitRequested());
}

// A level changed on the disk since it was opened (another window saved it)
// is not written over unasked: "Отмена" keeps the other's, "Заменить" writes
// ours, "Сохранить копию" leaves it and saves ours through the chooser.
TEST_F(EditorFileTest, ASaveOverALevelChangedInAnotherWindowAsksFirst) {
  Place(2, 105, 105);
  MenuItem(kSaveY);
  Entry(1);  // "+": 1001.map
  const std::string level = Levels.Level("1001.map"), hint = Levels.Level("1001.hint");
  auto changeElsewhereAndEdit = [&](int x) {
    WriteText(hint, "Из другого окна");
    Place(11, x, 245);
    E->Doc.Save();
    return Bytes();
  };
  std::string ours = changeElsewhereAndEdit(245);
  EXPECT_EQ(Question(), "Уровень 001 изменён в другом окне после того, как вы его открыли. Заменить его вашим?");
  Answer("Отмена");
  EXPECT_NE(ReadText(level), ours);
  EXPECT_EQ(LoadLevelHint(level), "Из другого окна");
  EXPECT_TRUE(E->Doc.Dirty());

  E->Doc.Save();
  Answer("Заменить");
  EXPECT_EQ(ReadText(level), ours);
  EXPECT_FALSE(E->Doc.Dirty());
  E->Doc.Save();
  EXPECT_EQ(Question(), "") << "a file this window wrote last is saved over without asking";

  ours = changeElsewhereAndEdit(385);
  Answer("Сохранить копию");
  ASSERT_TRUE(LevelMenu->Visible && LevelMenu->SaveMode);
  Entry(2);  // "+": 1002.map
  EXPECT_EQ(ReadText(Levels.Level("1002.map")), ours);
  EXPECT_NE(ReadText(level), ours);
  EXPECT_EQ(E->Doc.FileName, "1002.map");
}

// When the system ends the program (a kill signal at logout or shutdown),
// nobody may be there to answer: unsaved work becomes a new level of the
// player's own, even with the question already open, and the level's own
// file is left as it was.
TEST_F(EditorFileTest, WhenTheSystemEndsTheProgramUnsavedWorkIsKeptAsANewLevel) {
  eng_SetCloseHandled(true);
  Place(2, 105, 105);
  MenuItem(kSaveY);
  Entry(1);  // "+": 1001.map
  const std::string saved = ReadText(Levels.Level("1001.map"));
  Place(11, 245, 245);
  eng_RequestClose();
  Tick();
  EXPECT_EQ(Question(), "Сохранить изменения?");
  eng_RequestEnd();
  Tick();
  EXPECT_TRUE(eng_ExitRequested());
  EXPECT_EQ(ReadText(Levels.Level("1001.map")), saved);
  EXPECT_EQ(ReadText(Levels.Level("1002.map")), Bytes());
}

// A level that cannot be read leaves the map as it was and says why.
TEST_F(EditorFileTest, AFailedOpenKeepsTheMapAndSaysWhy) {
  WriteText(Levels.Level("1001.map"), std::string(160, '\x7f'));  // no record makes sense
  fs::create_directories(Levels.Level("1002.map"));
  mkfifo(Levels.Level("1003.map").c_str(), 0600);  // read as the game reads it: never waited on
  Place(4, 105, 105);
  const std::string before = Bytes();
  for (int entry : {1, 2, 3}) {
    MenuItem(kOpenY);
    if (!Question().empty()) Answer("Не сохранять");
    Entry(entry);
    EXPECT_FALSE(LevelMenu->Visible);
    EXPECT_EQ(Bytes(), before) << "entry " << entry;
    ASSERT_NE(E->MessageShown(), nullptr);
    EXPECT_EQ(E->MessageShown()->rfind("Не удалось открыть уровень 00" + std::to_string(entry), 0), 0u)
        << *E->MessageShown();
  }
}

// Records the game cannot use are counted: saving would leave them out.
TEST_F(EditorFileTest, AnOpenThatSkipsRecordsSaysHowMany) {
  Place(4, 105, 105);
  TMapRecord unknown;
  unknown.KindTag = "PAD";
  const TMapRecordBytes pad = EncodeMapRecord(unknown);
  WriteText(Levels.Level("1001.map"), Bytes() + std::string(pad.begin(), pad.end()) + "short");
  MenuItem(kOpenY);
  if (!Question().empty()) Answer("Не сохранять");
  Entry(1);
  ASSERT_NE(E->MessageShown(), nullptr);
  EXPECT_EQ(*E->MessageShown(), "Уровень 001 открыт не полностью: пропущено записей: 2 из 3");
}

// Each edit is one step, a drag too; undoing everything gives the empty map
// back byte for byte, redoing everything the whole level; 100 steps and more.
TEST_F(EditorFileTest, UndoAndRedoGoBackAndForthByteForByte) {
  TMapObj* a = Place(2, 105, 105);
  EXPECT_EQ(E->Doc.History.UndoSteps(), 1u);
  Press(SX(105), SY(105));
  for (int step = 1; step <= 4; ++step) {
    MoveTo(SX(105 + 20 * step), SY(105));
    Tick();
  }
  EXPECT_EQ(E->Doc.History.UndoSteps(), 1u) << "no step while the button is held";
  Release();
  EXPECT_EQ(a->X, 175);
  EXPECT_EQ(E->Doc.History.UndoSteps(), 2u) << "the drag is one step";
  eng_SetKey(K_SHIFT, true);
  Tool(11);
  for (int i = 0; i < 110; ++i) ClickMap(35 + 35 * (i % 16), 280 + 35 * (i / 16));
  eng_SetKey(K_SHIFT, false);
  ASSERT_EQ(Objects(), 111u);
  const std::string full = Bytes();
  const size_t steps = E->Doc.History.UndoSteps();
  ASSERT_EQ(steps, 112u);

  auto keys = [&](char letter, bool shift, size_t times) {
    for (size_t i = 0; i < times; ++i) {
      eng_SetKey(K_CTRL, true);
      eng_SetKey(K_SHIFT, shift);
      eng_SetKey(KeyLetter(letter), true);
      eng_SetKey(KeyLetter(letter), false);
      Tick();
      eng_SetKey(K_CTRL, false);
      eng_SetKey(K_SHIFT, false);
    }
  };
  keys('z', false, steps);
  EXPECT_EQ(Bytes(), "");
  EXPECT_EQ(E->Doc.History.RedoSteps(), steps);
  EXPECT_FALSE(E->Doc.Dirty());
  keys('y', false, steps / 2);
  keys('z', true, steps - steps / 2);  // Ctrl+Shift+Z redoes as well
  EXPECT_EQ(Bytes(), full);
  EXPECT_TRUE(E->Doc.Dirty());
  keys('z', false, 110);
  ASSERT_EQ(Objects(), 1u);
  EXPECT_EQ(Obj(0)->X, 175);
  keys('z', false, 1);
  EXPECT_EQ(Obj(0)->X, 105) << "the drag undone in one step";
}

// The hint is typed in the file menu, belongs to undo, is saved beside the
// level and comes back when it is opened.
TEST_F(EditorFileTest, TheHintIsTypedSavedOpenedAndUndone) {
  ClickAndWait(90, 32);
  ClickAt(512, kHintFieldY);
  ASSERT_TRUE(E->HintEditing);
  eng_AddText("Жмите");
  eng_SetKey(K_RETURN, true);
  eng_SetKey(K_RETURN, false);
  Tick();
  eng_AddText("на робота ");
  eng_SetKey(K_BACKSPACE, true);
  eng_SetKey(K_BACKSPACE, false);
  Tick();
  EXPECT_EQ(E->Doc.History.UndoSteps(), 0u) << "typing is one step, made when it ends";
  eng_SetKey(K_ESCAPE, true);
  eng_SetKey(K_ESCAPE, false);
  Tick();
  EXPECT_FALSE(E->FileMenu->Visible);
  EXPECT_FALSE(E->HintEditing);
  EXPECT_EQ(E->Doc.Hint, "Жмите\nна робота");
  EXPECT_EQ(E->Doc.History.UndoSteps(), 1u);
  EXPECT_TRUE(E->Doc.Dirty());
  E->Undo();
  EXPECT_EQ(E->Doc.Hint, "");
  E->Redo();
  Tick();

  Place(10, 105, 105);
  MenuItem(kSaveY);
  Entry(1);
  EXPECT_EQ(LoadLevelHint(Levels.Level("1001.map")), "Жмите\nна робота");
  MenuItem(kNewY);
  EXPECT_EQ(Question(), "") << "saved: nothing to ask";
  EXPECT_EQ(E->Doc.Hint, "");
  MenuItem(kOpenY);
  Entry(1);
  EXPECT_EQ(E->Doc.Hint, "Жмите\nна робота");
  EXPECT_FALSE(E->Doc.Dirty());
}

// A click on the file menu's "Закрыть", which stands over the field, with a
// block in hand: that click places nothing, the next one places at once.
TEST_F(EditorFileTest, TheClickThatClosesAPopUpPlacesNothingTheNextOneDoes) {
  Tool(2);
  ClickAndWait(90, 32);
  ClickAt(512, 492);  // "Закрыть"
  ASSERT_FALSE(E->FileMenu->Visible);
  EXPECT_EQ(Objects(), 0u);
  Tick(5);
  ClickAt(512, 492);
  EXPECT_EQ(Objects(), 1u);
}

TEST_F(EditorFileTest, RestingOnAToolForHalfASecondShowsItsName) {
  MoveTo(132, 100);  // the bomb
  Tick(TTooltip::kDelayTicks - 1);
  EXPECT_TRUE(E->DumpState()["tooltip"].is_null());
  Tick();
  EXPECT_EQ(E->DumpState()["tooltip"], "Бомба");
  DrawFrame();
  EXPECT_EQ(Recorder.TextCalls("Бомба").size(), 1u);
  MoveTo(132, 660);
  Tick(TTooltip::kDelayTicks);
  EXPECT_EQ(E->DumpState()["tooltip"], "Удалить (Delete)");
  ClickAt(132, 660);
  EXPECT_TRUE(E->DumpState()["tooltip"].is_null()) << "a click hides it";
}

}  // namespace
