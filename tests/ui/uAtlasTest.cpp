// The shipped atlas holds a picture in every frame the game cuts from it.
#include "ui/uAtlas.h"

#include <gtest/gtest.h>

#include "engine/engine.h"

namespace {

TEST(Atlas, EveryFrameTheGameCutsHasVisiblePixels) {
  eng_Reset();
  zglPTexture atlas = tex_LoadFromFile(std::string(KELVOD_SOURCE_DIR) + "/data/panel_r.png");
  zglTextureInfo info;
  ASSERT_TRUE(eng_TextureInfo(atlas, &info));
  EXPECT_EQ(info.Width, 1024);
  EXPECT_EQ(info.Height, 512);
  EXPECT_TRUE(info.HasAlpha) << "the atlas is RGBA";
  for (const TAtlasSprite* sprite : Atlas::All()) {
    ASSERT_FALSE(sprite->Frames.empty()) << sprite->Name;
    for (size_t f = 0; f < sprite->Frames.size(); ++f) {
      auto [fx, fy] = sprite->Frames[f];
      EXPECT_LE(fx + sprite->Width, info.Width) << sprite->Name << " frame " << f;
      EXPECT_LE(fy + sprite->Height, info.Height) << sprite->Name << " frame " << f;
      int visible = 0;
      for (int y = fy; y < fy + sprite->Height; ++y)
        for (int x = fx; x < fx + sprite->Width; ++x) visible += eng_TextureAlpha(atlas, x, y) > 16;
      EXPECT_GT(visible, 0) << sprite->Name << " frame " << f << " at (" << fx << ", " << fy << ") is empty";
    }
  }
  eng_Reset();
}

}  // namespace
