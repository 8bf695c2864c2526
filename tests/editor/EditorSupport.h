// The editor scene made current in a whole game on the recording backend,
// with helpers that work its controls the way a user does.
#pragma once

#include "app/uGlobals.h"
#include "editor/uEditor.h"
#include "editor/uEditorMenu.h"
#include "level/uMap.h"
#include "sim/uMapObj.h"
#include "sim/uRope.h"
#include "support/TestSupport.h"
#include "ui/uDialog.h"
#include "ui/uScene.h"

class EditorTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    StartGame(DataDir());
    EditorScene->Activate();
    E = EditorScene;
  }
  // The data folder to start on; empty for a fresh one without levels.
  virtual std::string DataDir() { return ""; }

  // Screen position of a map point.
  static int SX(int mapX) { return 214 + mapX; }
  static int SY(int mapY) { return 34 + mapY; }

  // The tool button of palette entry `i` (0, 13 and 14 empty the hand).
  void Tool(int i) {
    if (i <= 7)
      ClickAt(50, 100 + 80 * i);
    else
      ClickAt(132, 100 + 80 * (i - 8));
  }
  void Delete() { ClickAt(132, 660); }
  // Moves the pointer to a map point for one tick, then clicks there.
  void ClickMap(int mx, int my) {
    MoveTo(SX(mx), SY(my));
    Tick();
    ClickAt(SX(mx), SY(my));
  }
  void ShiftClickMap(int mx, int my) {
    eng_SetKey(K_SHIFT, true);
    ClickMap(mx, my);
    eng_SetKey(K_SHIFT, false);
  }
  // Places one object of palette entry `tool` at a grid point.
  TMapObj* Place(int tool, int mx, int my) {
    Tool(tool);
    ClickMap(mx, my);
    TMapObj* placed = E->Doc.Map->Objects.empty() ? nullptr : E->Doc.Map->Objects.back().get();
    EXPECT_TRUE(placed && placed->X == mx && placed->Y == my) << "not placed at " << mx << ", " << my;
    return placed;
  }
  void Press(int x, int y) {
    MoveTo(x, y);
    eng_SetButton(M_BLEFT, true);
    Tick();
  }
  void Release() {
    eng_SetButton(M_BLEFT, false);
    Tick();
  }
  // Clicks, then waits out the time in which a form the click opens takes no press.
  void ClickAndWait(int x, int y) {
    ClickAt(x, y);
    Tick(TMeForm::kOpenQuietRounds);
  }
  // The open dialog's question, or "" when none is open.
  std::string Question() const {
    return SceneManager->DialogOpen() ? SceneManager->Dialog().Text : "";
  }
  // Clicks the open dialog's button with that caption, once the dialog takes presses.
  void Answer(const std::string& caption) {
    ASSERT_TRUE(SceneManager->DialogOpen()) << "no question to answer with " << caption;
    Tick(TMeForm::kOpenQuietRounds);
    const TDialog& dialog = SceneManager->Dialog();
    for (const TButtonEM* b : dialog.Buttons())
      if (b->Caption == caption) return ClickAndWait(dialog.X + b->X, dialog.Y + b->Y);
    FAIL() << "no button " << caption;
  }
  size_t Objects() const { return E->Doc.Map->Objects.size(); }
  size_t Ropes() const { return E->Doc.Map->Ropes.size(); }
  TMapObj* Obj(size_t i) const { return E->Doc.Map->Objects.at(i).get(); }

  TEditor* E = nullptr;
};
