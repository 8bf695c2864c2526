// The pictures kept between frames (the field's background, the screen under
// a question) show what drawing everything every frame shows: a target that
// keeps them, drawn after every tick through scene switches, pop-ups and
// questions, gives the same pixels as a fresh frame drawn without them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "app/uProgram.h"
#include "scenes/SceneTestSupport.h"

namespace {

class Pictures : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    WriteSimpleLevels(Art.Dir() + "/level", 1);
    StartGame(Art.Dir());
    std::string error;
    Kept = zglFrameTarget::Offscreen(1024, 768, &error);
    ASSERT_TRUE(Kept) << error;
  }
  void TearDown() override {
    eng_SetPictureCache(true);
    GameTest::TearDown();
  }
  // Ticks, each followed by a frame of the target that keeps pictures.
  void Run(int ticks) {
    for (int i = 0; i < ticks; ++i) {
      Tick();
      Kept->DrawFrame();
    }
  }
  void Click(int x, int y) {
    eng_SetMouse(x, y);
    eng_SetButton(M_BLEFT, true);
    eng_SetButton(M_BLEFT, false);
    Run(1);
  }
  // Pixels of the kept target's last frame that differ from the same frame
  // drawn in a fresh target without pictures (three times: the renderer's
  // own copies of parts drawn again and again are made on the third). SDL
  // rounds the blend of those copies other than that of the parts they stand
  // for, by one step per translucent layer, and a picture keeps whichever it
  // was drawn with: a colour off by a few steps is the same picture, a stale
  // one is off by far more.
  int Differences() {
    std::string error;
    eng_SetPictureCache(false);
    auto fresh = zglFrameTarget::Offscreen(1024, 768, &error);
    EXPECT_TRUE(fresh) << error;
    if (!fresh) return -1;
    for (int i = 0; i < 3; ++i) fresh->DrawFrame();
    eng_SetPictureCache(true);
    int differ = 0;
    auto far = [](uint32_t a, uint32_t b) {
      for (int shift = 0; shift < 24; shift += 8)
        if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) > kRounding)
          return true;
      return false;
    };
    for (int y = 0; y < 768; ++y)
      for (int x = 0; x < 1024; ++x) differ += far(Kept->Pixel(x, y), fresh->Pixel(x, y));
    return differ;
  }
  static constexpr int kRounding = 6;
  TestData Art;
  std::unique_ptr<zglFrameTarget> Kept;
};

TEST_F(Pictures, KeptPicturesShowWhatDrawingEveryFrameShows) {
  Run(3);
  EXPECT_EQ(Differences(), 0) << "the main menu";
  Click(512, 388);  // "Редактор карт"
  Run(30);
  EXPECT_EQ(Differences(), 0) << "the fade";
  Run(80);
  EXPECT_EQ(Differences(), 0) << "the editor";
  Click(50, 180);   // a block from the palette...
  Click(389, 314);  // ...placed: the level is changed
  Run(3);
  EXPECT_EQ(Differences(), 0) << "the editor with a block";
  Click(90, 32);  // "Меню"
  Run(25);
  EXPECT_EQ(Differences(), 0) << "the file menu";
  Click(512, 284);  // "Новый": a question, as the block is not saved
  Run(25);
  EXPECT_EQ(Differences(), 0) << "the question";
  Click(708, 424);  // "Отмена"
  Run(25);
  EXPECT_EQ(Differences(), 0) << "the file menu after the question";
  Click(512, 440);  // "В меню": the question again
  Run(25);
  EXPECT_EQ(Differences(), 0) << "the second question";
  Click(512, 424);  // "Не сохранять": back to the main menu
  Run(110);
  EXPECT_EQ(Differences(), 0) << "the main menu again";
  Click(512, 284);  // "Новая игра": the level, won at once
  Run(110);
  EXPECT_EQ(Differences(), 0) << "the level with its win form";
}

}  // namespace
