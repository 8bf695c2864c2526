// Drawing with the software backend, read back from a screenshot: sprite
// rotation, cut rectangles and alpha, and centred text.
#include <SDL.h>
#include <SDL_image.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "support/TestSupport.h"

namespace {

using TColour = std::array<int, 3>;

// One frame as the screenshot holds it.
class TPicture {
 public:
  explicit TPicture(const std::string& png) {
    SDL_Surface* loaded = IMG_Load(png.c_str());
    if (!loaded) return;
    SDL_Surface* rgba = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGBA32, 0);
    SDL_FreeSurface(loaded);
    if (!rgba) return;
    W = rgba->w, H = rgba->h;
    for (int y = 0; y < H; ++y) {
      const auto* row = static_cast<const uint8_t*>(rgba->pixels) + y * rgba->pitch;
      Pixels.insert(Pixels.end(), row, row + 4 * W);
    }
    SDL_FreeSurface(rgba);
  }
  TColour At(int x, int y) const {
    const uint8_t* p = &Pixels[4 * (static_cast<size_t>(y) * W + x)];
    return {p[0], p[1], p[2]};
  }
  // The smallest rectangle (left, top, right, bottom) holding every bright
  // pixel within the rows from `top` to `bottom`.
  std::array<int, 4> Ink(int top, int bottom) const {
    std::array<int, 4> box{W, H, -1, -1};
    for (int y = top; y < bottom; ++y)
      for (int x = 0; x < W; ++x)
        if (At(x, y)[0] > 128)
          box = {std::min(box[0], x), std::min(box[1], y), std::max(box[2], x), std::max(box[3], y)};
    return box;
  }
  int W = 0, H = 0;
  std::vector<uint8_t> Pixels;
};

zglPTexture Texture = nullptr;
zglPFont Font = nullptr;

class SoftwareBackend : public ::testing::Test {
 protected:
  void SetUp() override { eng_Reset(); }
  void TearDown() override {
    Texture = nullptr;
    Font = nullptr;
    eng_Reset();
  }
  TPicture Shoot(zglCallback draw) {
    zgl_Reg(SYS_DRAW, draw);
    std::string error;
    EXPECT_TRUE(eng_SaveScreenshot(Dir.File("frame.png"), 400, 300, &error)) << error;
    return TPicture(Dir.File("frame.png"));
  }
  TempDir Dir;
};

const TColour kBlack{0, 0, 0}, kRed{255, 0, 0}, kGreen{0, 255, 0};

// A 20 x 10 picture: its left half red, its right half green.
zglPTexture RedGreenTexture(const std::string& path) {
  SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, 20, 10, 32, SDL_PIXELFORMAT_RGBA32);
  SDL_Rect left{0, 0, 10, 10}, right{10, 0, 10, 10};
  SDL_FillRect(s, &left, SDL_MapRGBA(s->format, 255, 0, 0, 255));
  SDL_FillRect(s, &right, SDL_MapRGBA(s->format, 0, 255, 0, 255));
  IMG_SavePNG(s, path.c_str());
  SDL_FreeSurface(s);
  return tex_LoadFromFile(path);
}

void DrawSprites() {
  csprite2d_Draw(Texture, 100, 100, 20, 10, 90, zglTRect{0, 0, 20, 10});   // turned clockwise
  csprite2d_Draw(Texture, 200, 100, 20, 10, 0, zglTRect{0, 0, 20, 10}, 128);
  csprite2d_Draw(Texture, 300, 100, 20, 10, 0, zglTRect{10, 0, 10, 10});  // the green half, stretched
}

TEST_F(SoftwareBackend, SpritesTurnClockwiseAboutTheirCentreAndKeepTheirCutAndAlpha) {
  Texture = RedGreenTexture(Dir.File("red_green.png"));
  TPicture p = Shoot(DrawSprites);
  ASSERT_EQ(p.W, 400);
  // Turned by 90 degrees about (110, 105): red above the centre, green below.
  EXPECT_EQ(p.At(110, 98), kRed);
  EXPECT_EQ(p.At(110, 112), kGreen);
  EXPECT_EQ(p.At(102, 105), kBlack) << "the unturned red half is gone";
  EXPECT_EQ(p.At(118, 105), kBlack) << "the unturned green half is gone";
  // Half alpha over black: half the red.
  const TColour faded = p.At(205, 105);
  EXPECT_NEAR(faded[0], 128, 3);
  EXPECT_EQ(faded[1], 0);
  EXPECT_EQ(p.At(305, 105), kGreen);
  EXPECT_EQ(p.At(315, 105), kGreen);
}

void DrawTexts() {
  text_DrawEx(Font, 200, 100, 1, 0, "HHHH", 255, 0xFFFFFF, TEXT_HALIGN_CENTER | TEXT_VALIGN_CENTER);
  text_DrawEx(Font, 200, 200, 1, 0, "HHHH", 255, 0xFFFFFF, 0);
}

TEST_F(SoftwareBackend, CentredTextIsCentredOnItsPointAndOtherTextHangsFromIt) {
  Font = font_LoadFromFile(std::string(KELVOD_SOURCE_DIR) + "/data/font_1.zfi");
  TPicture p = Shoot(DrawTexts);
  ASSERT_EQ(p.W, 400);
  auto [left, top, right, bottom] = p.Ink(50, 150);
  ASSERT_GE(right, left) << "the centred text was drawn";
  EXPECT_NEAR((left + right) / 2.0, 200, 2);
  EXPECT_NEAR((top + bottom) / 2.0, 100, 3);
  auto [left2, top2, right2, bottom2] = p.Ink(150, 250);
  ASSERT_GE(right2, left2) << "the plain text was drawn";
  EXPECT_NEAR(left2, 201, 2) << "its left edge is at the point";
  EXPECT_GT(top2, 200) << "it hangs below the point";
  EXPECT_EQ(right2 - left2, right - left) << "the same text at the same size";
}

// A font description names files in order of preference; the first that
// exists is used, a relative name being taken from the description's folder.
TEST_F(SoftwareBackend, AFontDescriptionUsesTheFirstFileThatExists) {
  const std::string system = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
  std::filesystem::copy_file(system, Dir.File("shipped.ttf"));
  const struct {
    const char* what;
    std::string description;
    bool drawn;
  } cases[] = {
      {"a shipped font beside the description", "file=shipped.ttf\nsize=14\n", true},
      {"a missing font, then the system's", "file=missing.ttf\nfile=" + system + "\nsize=14\n", true},
      {"the shipped font before a missing one", "file=shipped.ttf\nfile=/no/such.ttf\nsize=14\n", true},
      {"only missing fonts", "file=missing.ttf\nfile=/no/such.ttf\nsize=14\n", false},
  };
  for (const auto& c : cases) {
    WriteText(Dir.File("font.zfi"), c.description);
    Font = font_LoadFromFile(Dir.File("font.zfi"));
    TPicture p = Shoot(DrawTexts);
    auto [left, top, right, bottom] = p.Ink(50, 150);
    EXPECT_EQ(right >= left, c.drawn) << c.what;
    eng_Reset();
  }
}

}  // namespace
