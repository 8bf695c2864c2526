#include "scenes/uMainMenu.h"

#include <gtest/gtest.h>

#include "app/uGlobals.h"
#include "scenes/SceneTestSupport.h"
#include "scenes/uLevelMenu.h"

namespace {

class MainMenuTest : public SceneTest {};

TEST_F(MainMenuTest, TheFooterShowsWithTheButtonsAndEscapeClosesTheChooser) {
  StartWithLevels({{}, {}});
  const std::string footer = "Версия " KELVOD_VERSION "  ·  F11 — полный экран";
  DrawFrame();
  auto line = Recorder.TextCalls(footer);
  ASSERT_EQ(line.size(), 1u);
  EXPECT_EQ(line[0]->x, 512);
  EXPECT_GT(line[0]->y, 700);

  ClickAt(512, 336);  // "Загрузить"
  ASSERT_TRUE(LevelMenu->Visible);
  DrawFrame();
  EXPECT_TRUE(Recorder.TextCalls(footer).empty()) << "the chooser reaches the bottom";
  eng_SetKey(K_ESCAPE, true);
  Tick();
  eng_SetKey(K_ESCAPE, false);
  EXPECT_FALSE(LevelMenu->Visible);
  EXPECT_EQ(SceneManager->Current, MenuScene);
  EXPECT_FALSE(SceneManager->Switching);
  DrawFrame();
  EXPECT_EQ(Recorder.TextCalls(footer).size(), 1u);
}

}  // namespace
