#include "scenes/SceneTestSupport.h"

#include <gtest/gtest.h>

#include <memory>

#include "app/uGlobals.h"
#include "level/uMap.h"
#include "scenes/uGame.h"
#include "scenes/uLevelMenu.h"
#include "sim/uBattery.h"
#include "sim/uHero.h"
#include "ui/uMeForm.h"

namespace {

std::unique_ptr<TMapObj> MakeTestObject(const TMap& map, const TTestObject& t) {
  std::unique_ptr<TMapObj> o;
  switch (t.kind) {
    case TTestObject::BLOCK:
      o = std::make_unique<TMapObj>(map.Sprite(2), std::make_unique<TShapeRect>(26, 26));
      break;
    case TTestObject::PLANK:
      o = std::make_unique<TMapObj>(map.Sprite(3), std::make_unique<TShapeRect>(140, 10));
      break;
    case TTestObject::HERO:
      o = std::make_unique<THero>(map.Sprite(10), std::make_unique<TShapeRect>(18, 60));
      break;
    case TTestObject::BATTERY:
      o = std::make_unique<TBattery>(map.Sprite(12), std::make_unique<TShapeCircle>(38));
      break;
  }
  o->X = t.x;
  o->Y = t.y;
  o->Dynamic = t.dynamic;
  o->Interactive = t.interactive;
  o->Angle = t.angle;
  return o;
}

}  // namespace

void WriteLevel(const std::string& path, const TTestLevel& objects) {
  TMap map(35);
  for (const auto& t : objects) map.Objects.push_back(MakeTestObject(map, t));
  std::string error;
  ASSERT_TRUE(map.SaveToFile(path, &error)) << error;
}

void WriteSimpleLevels(const std::string& levelDir, int count) {
  for (int i = 0; i < count; ++i)
    WriteLevel(levelDir + "/" + std::to_string(1001 + i) + ".map",
               {{TTestObject::BLOCK, 100 + 10 * i, 300}});
}

void SceneTest::StartWithLevels(const std::vector<TTestLevel>& levels) {
  Data = std::make_unique<TestData>(false);
  for (size_t i = 0; i < levels.size(); ++i)
    WriteLevel(LevelDir() + "/" + std::to_string(1001 + i) + ".map", levels[i]);
  StartGame(Data->Dir());
}

void SceneTest::PlayLevel(int index) {
  GameScene->Start(index);
  GameScene->Activate();
}

void SceneTest::ClickChooser(int x, int y) {
  eng_SetMouse(x, y);
  // One tick with the pointer still: a form takes a press only once it has
  // been on screen for a tick.
  LevelMenu->Update(x, y);
  mouse_ClearState();
  eng_SetButton(M_BLEFT, true);
  eng_SetButton(M_BLEFT, false);
  LevelMenu->Update(x, y);
  mouse_ClearState();
}
