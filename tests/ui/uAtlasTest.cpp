// The shipped atlas holds a picture in every frame the game cuts from it, and
// the game cuts the frames the art is drawn into.
#include "ui/uAtlas.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <set>
#include <sstream>
#include <string>

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

// The atlas is drawn by assets/render.py from its own table of frames: every
// rectangle the game cuts must be one the art is drawn into, and the other
// way round. Python reads render.py (python3 comes with SDL's development
// packages).
TEST(Atlas, TheGameCutsExactlyTheFramesTheArtIsDrawnInto) {
  using TRect = std::array<int, 4>;  // x, y, width, height
  std::set<TRect> art;
  const std::string command = "python3 -B -c 'import sys; sys.path.insert(0, sys.argv[1]); import render; "
                              "[print(*f[1:]) for f in render.FRAMES]' '" KELVOD_SOURCE_DIR "/assets' 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::string output;
  char buffer[4096];
  for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, n);
  ASSERT_EQ(pclose(pipe), 0) << "cannot read the frames of assets/render.py:\n" << output;
  std::istringstream lines(output);
  for (TRect r; lines >> r[0] >> r[1] >> r[2] >> r[3];) art.insert(r);
  ASSERT_TRUE(lines.eof()) << "unexpected output of render.py:\n" << output;

  std::set<TRect> cut;
  for (const TAtlasSprite* sprite : Atlas::All())
    for (auto [x, y] : sprite->Frames) {
      const TRect r{x, y, sprite->Width, sprite->Height};
      cut.insert(r);
      EXPECT_TRUE(art.count(r)) << sprite->Name << ": the frame at (" << x << ", " << y << ") of "
                                << r[2] << " x " << r[3] << " is not one render.py draws";
    }
  for (const TRect& r : art)
    EXPECT_TRUE(cut.count(r)) << "render.py draws a frame at (" << r[0] << ", " << r[1] << ") of "
                              << r[2] << " x " << r[3] << " that the game never cuts";
}

}  // namespace
